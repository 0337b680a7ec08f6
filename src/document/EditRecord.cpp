#include "document/EditRecord.h"

#include "text/SjisText.h"

namespace zok2 {

std::string FormatEditRecord(const EditRegion& region, std::string_view text)
{
    std::string record;
    for (int number : {region.section, region.firstColumn, region.lastColumn, region.firstRow, region.lastRow}) {
        record += text::FormatDec(number);
        record += ',';
    }
    record.append(text);
    return record;
}

bool ParseEditRecord(std::string_view record, EditRegion* region, std::string_view* text)
{
    int* fields[] = {&region->section, &region->firstColumn, &region->lastColumn, &region->firstRow, &region->lastRow};
    std::size_t pos = 0;
    for (int* field : fields) {
        const std::size_t comma = record.find(',', pos);
        if (comma == std::string_view::npos) return false;
        *field = text::ReadDec(record.substr(pos, comma - pos));
        pos = comma + 1;
    }
    if (text) *text = record.substr(pos);
    return true;
}

}  // namespace zok2
