// The decoder of a folder's unpacked stream: one node per coder, each
// pulling pieces from its sources (packed streams or other coders' out
// streams) and handing its own output on in pieces, so that memory stays
// bounded whatever the size of the folder.
#include "tessik7z/SevenZipDecode.h"

#include "tessik7z/SevenZipAes.h"

#include <lzma.h>

#include <string.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

const size_t kReadChunk = 1 << 20;      // packed bytes per read of the file
const size_t kPieceSize = 256 * 1024;   // a coder's output per piece
const uint64_t kSignatureHeaderSize = 32;
// Of the LZMA2 that carries the x86 filter's input as uncompressed chunks:
// one chunk's worth.
const uint32_t kStoredDictionary = 1 << 16;

// A stream of the folder, handed on in pieces.
class CPieces
{
public:
    virtual ~CPieces() {}
    // The next piece, valid until the next call; *size 0 at the end.
    virtual EFolderDecode Next(const uint8_t** data, size_t* size) = 0;
};

// A packed stream, read from the file a chunk at a time.
class CPackedPieces : public CPieces
{
public:
    CPackedPieces(const CByteFile& file, uint64_t at, uint64_t size) : m_file(file), m_at(at), m_left(size) {}

    EFolderDecode Next(const uint8_t** data, size_t* size) override
    {
        size_t take = static_cast<size_t>(std::min<uint64_t>(m_left, kReadChunk));
        if (take > 0 && !m_file.ReadAt(m_at, take, &m_buffer))
            return EFolderDecode::kUnreadable;
        m_at += take;
        m_left -= take;
        *data = reinterpret_cast<const uint8_t*>(m_buffer.data());
        *size = take;
        return EFolderDecode::kDecoded;
    }

private:
    const CByteFile& m_file;
    uint64_t m_at;
    uint64_t m_left;
    std::string m_buffer;
};

// The bytes of a stream one at a time, for the coders that take them so.
class CByteSource
{
public:
    explicit CByteSource(CPieces* pieces) : m_pieces(pieces), m_at(nullptr), m_end(nullptr) {}

    // False on a failure, or at the end of the stream (*status kDamaged:
    // the coder needs more than the stream holds).
    bool Byte(uint8_t* byte, EFolderDecode* status)
    {
        if (m_at == m_end)
        {
            size_t size = 0;
            *status = m_pieces->Next(&m_at, &size);
            if (*status != EFolderDecode::kDecoded)
                return false;
            if (size == 0)
            {
                *status = EFolderDecode::kDamaged;
                return false;
            }
            m_end = m_at + size;
        }
        *byte = *m_at++;
        return true;
    }

private:
    CPieces* m_pieces;
    const uint8_t* m_at;
    const uint8_t* m_end;
};

// A coder's out stream, which must come to exactly the size the header
// gives it.
class CCoderOutput : public CPieces
{
protected:
    explicit CCoderOutput(uint64_t size) : m_size(size), m_produced(0) {}

    // Counts a piece made; ended when there is no more.
    EFolderDecode Produced(size_t count, bool ended)
    {
        m_produced += count;
        if (m_produced > m_size || (ended && m_produced != m_size))
            return EFolderDecode::kDamaged;
        return EFolderDecode::kDecoded;
    }

    uint64_t m_size;
    uint64_t m_produced;
};

class CCopyCoder : public CCoderOutput
{
public:
    CCopyCoder(CPieces* source, uint64_t size) : CCoderOutput(size), m_source(source) {}

    EFolderDecode Next(const uint8_t** data, size_t* size) override
    {
        EFolderDecode status = m_source->Next(data, size);
        return status != EFolderDecode::kDecoded ? status : Produced(*size, *size == 0);
    }

private:
    CPieces* m_source;
};

// A raw filter chain of liblzma: LZMA, LZMA2, or the x86 branch filter in
// front of LZMA2.
class CLzmaCoder : public CCoderOutput
{
public:
    CLzmaCoder(CPieces* source, uint64_t size)
        : CCoderOutput(size), m_source(source), m_stream(LZMA_STREAM_INIT), m_out(kPieceSize), m_sourceEnded(false),
          m_ended(false)
    {
    }
    ~CLzmaCoder() override { lzma_end(&m_stream); }

    EFolderDecode Start(const lzma_filter* filters)
    {
        lzma_ret result = lzma_raw_decoder(&m_stream, filters);
        // A dictionary too large for this process is a method we cannot
        // run here, as much as an option liblzma refuses.
        return result == LZMA_OK ? EFolderDecode::kDecoded : EFolderDecode::kUnsupported;
    }

    EFolderDecode Next(const uint8_t** data, size_t* size) override
    {
        m_stream.next_out = m_out.data();
        m_stream.avail_out = m_out.size();
        while (!m_ended && m_stream.avail_out == m_out.size())
        {
            if (m_stream.avail_in == 0 && !m_sourceEnded)
            {
                size_t got = 0;
                EFolderDecode status = m_source->Next(&m_stream.next_in, &got);
                if (status != EFolderDecode::kDecoded)
                    return status;
                m_stream.avail_in = got;
                m_sourceEnded = got == 0;
            }
            // Without more input liblzma says LZMA_BUF_ERROR, not a wait.
            lzma_ret result = lzma_code(&m_stream, m_sourceEnded ? LZMA_FINISH : LZMA_RUN);
            if (result == LZMA_STREAM_END)
                m_ended = true;
            else if (result == LZMA_MEM_ERROR || result == LZMA_MEMLIMIT_ERROR)
                return EFolderDecode::kUnsupported;
            else if (result != LZMA_OK)
                return EFolderDecode::kDamaged;
        }
        *data = m_out.data();
        *size = m_out.size() - m_stream.avail_out;
        return Produced(*size, m_ended && *size == 0);
    }

private:
    CPieces* m_source;
    lzma_stream m_stream;
    std::vector<uint8_t> m_out;
    bool m_sourceEnded;
    bool m_ended;
};

// liblzma runs its branch filters only in front of an LZMA coder: a stream
// for the x86 filter alone reaches it as LZMA2's uncompressed chunks (a
// control byte, the size less one in two bytes, big-endian), then LZMA2's
// end.
class CStoredLzma2 : public CPieces
{
public:
    explicit CStoredLzma2(CPieces* source)
        : m_source(source), m_at(nullptr), m_end(nullptr), m_chunkLeft(0), m_first(true), m_finished(false)
    {
    }

    EFolderDecode Next(const uint8_t** data, size_t* size) override
    {
        if (m_chunkLeft > 0)
        {
            *size = std::min<size_t>(m_chunkLeft, m_end - m_at);
            *data = m_at;
            m_at += *size;
            m_chunkLeft -= *size;
            return EFolderDecode::kDecoded;
        }
        *data = m_header;
        if (m_finished)
        {
            *size = 0;
            return EFolderDecode::kDecoded;
        }
        if (m_at == m_end)
        {
            size_t got = 0;
            EFolderDecode status = m_source->Next(&m_at, &got);
            if (status != EFolderDecode::kDecoded)
                return status;
            m_end = m_at + got;
            if (got == 0)
            {
                m_finished = true;
                m_header[0] = kEndOfChunks;
                *size = 1;
                return EFolderDecode::kDecoded;
            }
        }
        size_t chunk = std::min<size_t>(m_end - m_at, kMaxChunk);
        m_header[0] = m_first ? kStoredResettingDictionary : kStored;
        m_header[1] = static_cast<uint8_t>((chunk - 1) >> 8);
        m_header[2] = static_cast<uint8_t>(chunk - 1);
        m_first = false;
        m_chunkLeft = chunk;
        *size = 3;
        return EFolderDecode::kDecoded;
    }

private:
    static const uint8_t kEndOfChunks = 0x00;
    static const uint8_t kStoredResettingDictionary = 0x01;
    static const uint8_t kStored = 0x02;
    static const size_t kMaxChunk = 1 << 16;

    CPieces* m_source;
    const uint8_t* m_at;
    const uint8_t* m_end;
    size_t m_chunkLeft;
    bool m_first;
    bool m_finished;
    uint8_t m_header[3];
};

// BCJ2: x86 code whose CALL (E8) and JMP (E9, Jcc) targets were taken out
// of the main stream into a call and a jump stream as absolute big-endian
// addresses; a range coder's bit, with a probability per byte before an E8
// and one each for E9 and Jcc, says whether an instruction was converted.
class CBcj2Coder : public CCoderOutput
{
public:
    CBcj2Coder(CPieces* main, CPieces* call, CPieces* jump, CPieces* rangeCoded, uint64_t size)
        : CCoderOutput(size), m_main(main), m_call(call), m_jump(jump), m_rangeCoded(rangeCoded), m_out(kPieceSize),
          m_started(false), m_range(0xFFFFFFFF), m_code(0), m_previous(0)
    {
        for (uint16_t& probability : m_probabilities)
            probability = kBitModelTotal / 2;
    }

    EFolderDecode Next(const uint8_t** data, size_t* size) override
    {
        EFolderDecode status = EFolderDecode::kDecoded;
        uint8_t byte = 0;
        for (; !m_started && m_size > 0 && m_initBytes < 5; ++m_initBytes)
        {
            if (!m_rangeCoded.Byte(&byte, &status))
                return status;
            m_code = m_code << 8 | byte;
        }
        m_started = true;
        uint64_t position = m_produced;
        size_t made = 0;
        // Room for an instruction's opcode and its four bytes of address.
        while (made + 5 <= m_out.size() && position < m_size)
        {
            if (!m_main.Byte(&byte, &status))
                return status;
            m_out[made++] = byte;
            ++position;
            if (!IsBranch(m_previous, byte))
            {
                m_previous = byte;
                continue;
            }
            if (position == m_size)
                break;
            uint16_t* probability = &m_probabilities[byte == 0xE8 ? m_previous : byte == 0xE9 ? 256 : 257];
            bool converted = false;
            if (!DecodeBit(probability, &converted, &status))
                return status;
            if (!converted)
            {
                m_previous = byte;
                continue;
            }
            CByteSource& addresses = byte == 0xE8 ? m_call : m_jump;
            uint32_t target = 0;
            for (int i = 0; i < 4; ++i)
            {
                if (!addresses.Byte(&byte, &status))
                    return status;
                target = target << 8 | byte;
            }
            // Relative to the end of the instruction, in 32 bits as x86 has it.
            uint32_t relative = target - static_cast<uint32_t>(position + 4);
            for (int i = 0; i < 4 && position < m_size; ++i, ++position)
                m_out[made++] = static_cast<uint8_t>(relative >> (8 * i));
            m_previous = static_cast<uint8_t>(relative >> 24);
        }
        *data = m_out.data();
        *size = made;
        return Produced(made, made == 0);
    }

private:
    static const uint32_t kTopValue = 1 << 24;
    static const uint16_t kBitModelTotal = 1 << 11;
    static const int kMoveBits = 5;

    static bool IsBranch(uint8_t previous, uint8_t byte)
    {
        return (byte & 0xFE) == 0xE8 || (previous == 0x0F && (byte & 0xF0) == 0x80);
    }

    bool DecodeBit(uint16_t* probability, bool* bit, EFolderDecode* status)
    {
        if (m_range < kTopValue)
        {
            uint8_t byte = 0;
            if (!m_rangeCoded.Byte(&byte, status))
                return false;
            m_range <<= 8;
            m_code = m_code << 8 | byte;
        }
        uint32_t bound = (m_range >> 11) * *probability;
        *bit = m_code >= bound;
        if (!*bit)
        {
            m_range = bound;
            *probability = static_cast<uint16_t>(*probability + ((kBitModelTotal - *probability) >> kMoveBits));
        }
        else
        {
            m_range -= bound;
            m_code -= bound;
            *probability = static_cast<uint16_t>(*probability - (*probability >> kMoveBits));
        }
        return true;
    }

    CByteSource m_main;
    CByteSource m_call;
    CByteSource m_jump;
    CByteSource m_rangeCoded;
    std::vector<uint8_t> m_out;
    bool m_started;
    int m_initBytes = 0;
    uint32_t m_range;
    uint32_t m_code;
    uint8_t m_previous;
    uint16_t m_probabilities[256 + 2];
};

// 7z's AES coder: whole blocks of the packed stream decrypted as they
// come, the padding after the coder's size dropped.
class CAesCoder : public CCoderOutput
{
public:
    CAesCoder(CPieces* source, uint64_t size) : CCoderOutput(size), m_source(source), m_sourceEnded(false) {}
    ~CAesCoder() override
    {
        if (!m_out.empty())
            SecureZeroMemory(&m_out[0], m_out.size());
    }

    EFolderDecode Start(const std::string& properties, const std::wstring& password)
    {
        unsigned cycles = 0;
        std::string salt;
        std::string iv;
        if (!CSevenZipAes::ParseProperties(properties, &cycles, &salt, &iv))
            return EFolderDecode::kDamaged;
        // 7-Zip makes no more rounds than 2^24.
        if (cycles > 24)
            return EFolderDecode::kUnsupported;
        if (password.empty())
            return EFolderDecode::kNeedPassword;
        // Without the system's cipher nothing can be decrypted here.
        return m_aes.DeriveKey(password, salt, cycles) && m_aes.StartDecrypting(iv) ? EFolderDecode::kDecoded
                                                                                    : EFolderDecode::kUnsupported;
    }

    EFolderDecode Next(const uint8_t** data, size_t* size) override
    {
        *data = nullptr;
        *size = 0;
        if (m_produced == m_size)
            return Produced(0, true);
        while (m_in.size() < kPieceSize && !m_sourceEnded)
        {
            const uint8_t* piece = nullptr;
            size_t got = 0;
            EFolderDecode status = m_source->Next(&piece, &got);
            if (status != EFolderDecode::kDecoded)
                return status;
            m_in.append(reinterpret_cast<const char*>(piece), got);
            m_sourceEnded = got == 0;
        }
        size_t whole = m_in.size() - m_in.size() % kBlock;
        if (whole == 0)
            return Produced(0, true);
        if (!m_out.empty())
            SecureZeroMemory(&m_out[0], m_out.size());
        m_out.clear();
        if (!m_aes.Decrypt(m_in.data(), whole, &m_out))
            return EFolderDecode::kUnsupported;
        m_in.erase(0, whole);
        *data = reinterpret_cast<const uint8_t*>(m_out.data());
        *size = static_cast<size_t>(std::min<uint64_t>(whole, m_size - m_produced));
        return Produced(*size, false);
    }

private:
    static const size_t kBlock = 16;

    CPieces* m_source;
    bool m_sourceEnded;
    CSevenZipAes m_aes;
    std::string m_in;
    std::string m_out;
};

// LZMA2's property byte: the dictionary size as 2 or 3 times a power of two.
bool Lzma2Dictionary(const std::string& properties, uint32_t* size)
{
    if (properties.size() != 1 || static_cast<unsigned char>(properties[0]) > 40)
        return false;
    unsigned code = static_cast<unsigned char>(properties[0]);
    *size = code == 40 ? 0xFFFFFFFF : (2U | (code & 1)) << (code / 2 + 11);
    return true;
}

// No match reaches further back than the output is long: a dictionary past
// that would only take memory.
uint32_t DictionaryFor(uint32_t stated, uint64_t output)
{
    uint64_t enough = std::max<uint64_t>(output, LZMA_DICT_SIZE_MIN);
    return static_cast<uint32_t>(std::min<uint64_t>(stated, enough));
}

// The nodes of one folder, built from its unbound out stream down.
class CFolderGraph
{
public:
    CFolderGraph(const CByteFile& file, const CSevenZipArchive& archive, const CSevenZipFolder& folder,
                 const std::wstring& password)
        : m_file(file), m_archive(archive), m_folder(folder), m_password(password)
    {
    }

    EFolderDecode Build(CPieces** main)
    {
        size_t outs = 0;
        for (const CSevenZipCoder& coder : m_folder.coders)
            outs += coder.outStreams;
        if (m_folder.coders.empty() || m_folder.unpackSizes.size() != outs ||
            m_folder.firstPackedStream > m_archive.packedSizes.size() ||
            m_folder.packedInStreams.size() > m_archive.packedSizes.size() - m_folder.firstPackedStream)
            return EFolderDecode::kDamaged;
        return BuildOut(m_folder.MainOutStream(), 0, main);
    }

private:
    EFolderDecode BuildOut(size_t out, size_t depth, CPieces** node)
    {
        size_t coder = m_folder.CoderOfOutStream(out);
        if (coder == m_folder.coders.size() || depth > m_folder.coders.size())
            return EFolderDecode::kDamaged;
        if (m_folder.coders[coder].outStreams != 1)
            return EFolderDecode::kUnsupported;
        std::vector<CPieces*> inputs;
        size_t firstIn = m_folder.FirstInStream(coder);
        for (size_t in = firstIn; in < firstIn + m_folder.coders[coder].inStreams; ++in)
        {
            CPieces* input = nullptr;
            EFolderDecode status = BuildIn(in, depth, &input);
            if (status != EFolderDecode::kDecoded)
                return status;
            inputs.push_back(input);
        }
        return MakeCoder(m_folder.coders[coder], inputs, m_folder.unpackSizes[out], node);
    }

    EFolderDecode BuildIn(size_t in, size_t depth, CPieces** node)
    {
        for (const CSevenZipBindPair& pair : m_folder.bindPairs)
            if (pair.inIndex == in)
                return pair.outIndex < m_folder.unpackSizes.size()
                           ? BuildOut(static_cast<size_t>(pair.outIndex), depth + 1, node)
                           : EFolderDecode::kDamaged;
        for (size_t k = 0; k < m_folder.packedInStreams.size(); ++k)
        {
            if (m_folder.packedInStreams[k] != in)
                continue;
            size_t index = m_folder.firstPackedStream + k;
            *node = Make<CPackedPieces>(m_file, PackedStreamAt(m_archive, index), m_archive.packedSizes[index]);
            return EFolderDecode::kDecoded;
        }
        return EFolderDecode::kDamaged;
    }

    EFolderDecode MakeCoder(const CSevenZipCoder& coder, const std::vector<CPieces*>& inputs, uint64_t size,
                            CPieces** node)
    {
        if (coder.method == kMethodBcj2)
        {
            if (inputs.size() != 4 || !coder.properties.empty())
                return EFolderDecode::kUnsupported;
            *node = Make<CBcj2Coder>(inputs[0], inputs[1], inputs[2], inputs[3], size);
            return EFolderDecode::kDecoded;
        }
        if (inputs.size() != 1)
            return EFolderDecode::kUnsupported;
        if (coder.method == kMethodCopy)
        {
            *node = Make<CCopyCoder>(inputs[0], size);
            return EFolderDecode::kDecoded;
        }
        if (coder.method == kMethodAes)
        {
            CAesCoder* aes = Make<CAesCoder>(inputs[0], size);
            *node = aes;
            return aes->Start(coder.properties, m_password);
        }
        lzma_options_lzma lzma = {};
        lzma_options_bcj bcj = {};
        if (lzma_lzma_preset(&lzma, 0))
            return EFolderDecode::kUnsupported;
        lzma_filter filters[3] = {
            {LZMA_VLI_UNKNOWN, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
        CPieces* source = inputs[0];
        if (coder.method == kMethodLzma2)
        {
            if (!Lzma2Dictionary(coder.properties, &lzma.dict_size))
                return EFolderDecode::kUnsupported;
            lzma.dict_size = DictionaryFor(lzma.dict_size, size);
            filters[0] = {LZMA_FILTER_LZMA2, &lzma};
        }
        else if (coder.method == kMethodLzma)
        {
            if (coder.properties.size() != 5 || static_cast<unsigned char>(coder.properties[0]) >= 9 * 5 * 5)
                return EFolderDecode::kUnsupported;
            unsigned bits = static_cast<unsigned char>(coder.properties[0]);
            lzma.lc = bits % 9;
            lzma.lp = bits / 9 % 5;
            lzma.pb = bits / 45;
            uint32_t dictionary = 0;
            for (int i = 4; i >= 1; --i)
                dictionary = dictionary << 8 | static_cast<unsigned char>(coder.properties[i]);
            lzma.dict_size = DictionaryFor(dictionary, size);
            // The size is known: an end marker may follow it but need not.
            lzma.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
            lzma_set_ext_size(lzma, size);
            filters[0] = {LZMA_FILTER_LZMA1EXT, &lzma};
        }
        else if (coder.method == kMethodBcj)
        {
            if (coder.properties.size() == 4)
                for (int i = 3; i >= 0; --i)
                    bcj.start_offset = bcj.start_offset << 8 | static_cast<unsigned char>(coder.properties[i]);
            else if (!coder.properties.empty())
                return EFolderDecode::kUnsupported;
            lzma.dict_size = kStoredDictionary;
            filters[0] = {LZMA_FILTER_X86, &bcj};
            filters[1] = {LZMA_FILTER_LZMA2, &lzma};
            source = Make<CStoredLzma2>(source);
        }
        else
            return EFolderDecode::kUnsupported;
        CLzmaCoder* lzmaCoder = Make<CLzmaCoder>(source, size);
        *node = lzmaCoder;
        return lzmaCoder->Start(filters);
    }

    template <class TNode, class... TArgs>
    TNode* Make(TArgs&&... args)
    {
        std::unique_ptr<TNode> node(new TNode(std::forward<TArgs>(args)...));
        TNode* made = node.get();
        m_nodes.push_back(std::move(node));
        return made;
    }

    const CByteFile& m_file;
    const CSevenZipArchive& m_archive;
    const CSevenZipFolder& m_folder;
    const std::wstring& m_password;
    std::vector<std::unique_ptr<CPieces>> m_nodes;
};

EFolderDecode Decode(const CByteFile& file, const CSevenZipArchive& archive, const CSevenZipFolder& folder,
                     const std::function<bool(const char* data, size_t size)>& sink, const std::wstring& password)
{
    CFolderGraph graph(file, archive, folder, password);
    CPieces* main = nullptr;
    EFolderDecode status = graph.Build(&main);
    uint32_t crc = 0;
    uint64_t total = 0;
    while (status == EFolderDecode::kDecoded)
    {
        const uint8_t* data = nullptr;
        size_t size = 0;
        status = main->Next(&data, &size);
        if (status != EFolderDecode::kDecoded || size == 0)
            break;
        crc = lzma_crc32(data, size, crc);
        total += size;
        if (!sink(reinterpret_cast<const char*>(data), size))
            return EFolderDecode::kCancelled;
    }
    if (status == EFolderDecode::kDecoded && (total != folder.UnpackSize() || (folder.hasCrc && crc != folder.crc)))
        status = EFolderDecode::kDamaged;
    return status;
}

}  // namespace

EFolderDecode DecodeFolder(const CByteFile& file, const CSevenZipArchive& archive, size_t folder,
                           const std::function<bool(const char* data, size_t size)>& sink,
                           const std::wstring& password)
{
    if (folder >= archive.folders.size())
        return EFolderDecode::kDamaged;
    EFolderDecode status = Decode(file, archive, archive.folders[folder], sink, password);
    // Data that a wrong key turned to noise cannot be told from damage.
    if (status == EFolderDecode::kDamaged && archive.folders[folder].IsEncrypted())
        status = EFolderDecode::kNeedPassword;
    return status;
}

unsigned long long PackedStreamAt(const CSevenZipArchive& archive, size_t index)
{
    unsigned long long at = kSignatureHeaderSize + archive.packedPosition;
    for (size_t before = 0; before < index && before < archive.packedSizes.size(); ++before)
        at += archive.packedSizes[before];
    return at;
}
