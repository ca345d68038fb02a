#pragma once
// Writes small zip archives in memory for the reader's tests, with the knobs a
// damaged archive needs: a wrong CRC, a lying size, an entry cut short.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct ZipEntrySpec {
    std::string name;
    std::string data;
    bool deflate = true;
    // Damage, applied after compressing.
    bool wrongCrc = false;
    int64_t sizeDelta = 0;  // added to the announced uncompressed size
};

inline std::string Deflate(const std::string& data, int level = Z_BEST_COMPRESSION)
{
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 16, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(out.size() - zs.avail_out);
    deflateEnd(&zs);
    return out;
}

inline std::string BuildZip(const std::vector<ZipEntrySpec>& entries)
{
    auto u16 = [](std::string& s, uint32_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    auto u32 = [&](std::string& s, uint32_t v) {
        u16(s, v & 0xFFFF);
        u16(s, v >> 16);
    };
    std::string out, central;
    for (const ZipEntrySpec& e : entries) {
        std::string body = e.deflate ? Deflate(e.data) : e.data;
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        if (e.wrongCrc)
            crc ^= 0x5A5A5A5A;
        uint32_t size = static_cast<uint32_t>(static_cast<int64_t>(e.data.size()) + e.sizeDelta);
        uint32_t offset = static_cast<uint32_t>(out.size());
        uint16_t method = e.deflate ? 8 : 0;
        u32(out, 0x04034b50);
        u16(out, 20), u16(out, 0), u16(out, method), u16(out, 0), u16(out, 0);
        u32(out, crc), u32(out, static_cast<uint32_t>(body.size())), u32(out, size);
        u16(out, static_cast<uint32_t>(e.name.size())), u16(out, 0);
        out += e.name;
        out += body;
        u32(central, 0x02014b50);
        u16(central, 20), u16(central, 20), u16(central, 0), u16(central, method), u16(central, 0), u16(central, 0);
        u32(central, crc), u32(central, static_cast<uint32_t>(body.size())), u32(central, size);
        u16(central, static_cast<uint32_t>(e.name.size())), u16(central, 0), u16(central, 0);
        u16(central, 0), u16(central, 0), u32(central, 0), u32(central, offset);
        central += e.name;
    }
    uint32_t cdOffset = static_cast<uint32_t>(out.size());
    out += central;
    u32(out, 0x06054b50);
    u16(out, 0), u16(out, 0);
    u16(out, static_cast<uint32_t>(entries.size())), u16(out, static_cast<uint32_t>(entries.size()));
    u32(out, static_cast<uint32_t>(central.size())), u32(out, cdOffset);
    u16(out, 0);
    return out;
}

// The parts of a minimal workbook with one sheet "Install" (or the given name).
inline std::vector<ZipEntrySpec> WorkbookParts(const std::string& sheetXml, const std::string& sharedXml,
                                               const std::string& sheetName = "Install")
{
    std::vector<ZipEntrySpec> parts = {
        {"[Content_Types].xml",
         R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)"},
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Other" sheetId="1" r:id="rId2"/><sheet name=")" +
             sheetName + R"(" sheetId="2" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet2.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet1.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)"},
        {"xl/worksheets/sheet1.xml",
         R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>wrong sheet</t></is></c></row></sheetData></worksheet>)"},
        {"xl/worksheets/sheet2.xml", sheetXml},
    };
    if (!sharedXml.empty())
        parts.push_back({"xl/sharedStrings.xml", sharedXml});
    return parts;
}

inline std::string SheetXml(const std::string& rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           rows + "</sheetData></worksheet>";
}
