#include "settings/SectionReader.h"

#include "common/PathUtil.h"

const char* CSectionReader::Get(const char* key)
{
    return m_ini.GetString(m_section, key, "", m_value, sizeof(m_value)) > 0 ? m_value : NULL;
}

void CSectionReader::Text(const char* key, std::string* field)
{
    if (const char* value = Get(key))
        *field = value;
}

void CSectionReader::Bool(const char* key, bool* field)
{
    if (const char* value = Get(key))
        *field = ParseBool(value) != 0;
}

void CSectionReader::Int(const char* key, int* field)
{
    if (const char* value = Get(key))
        *field = ParseSettingInt(value);
}

void CSectionReader::Unsigned(const char* key, unsigned* field)
{
    if (const char* value = Get(key))
        *field = ParseSettingUnsigned(value);
}
