#include "bridges/core/BridgeDll.h"

CBridgeDll& CBridgeDll::This()
{
    static CBridgeDll dll;
    return dll;
}
