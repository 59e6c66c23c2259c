// Channel CSV files as spreadsheets and hand edits leave them. The reader must give back what a
// writer that quotes every field would reproduce, and the import must refuse what it cannot
// take line by line, never the program: every channel it writes must export and import again
// without a refusal.
#include "fuzz_support.h"
#include "output/channel_csv.h"
#include "output/channel_csv_import.h"
#include "output/csv_reader.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "sheet/gtex_lines.h"
#include "sheet/value_tables.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <string>
#include <vector>

namespace {

std::string quotedEverywhere(const std::vector<qx::CsvRecord>& records) {
    std::string out = "\xEF\xBB\xBF"; // a leading mark of the data must not be taken for this one
    for (const qx::CsvRecord& r : records) {
        for (std::size_t i = 0; i < r.fields.size(); ++i) {
            out += i == 0 ? "\"" : ",\"";
            for (const char c : r.fields[i]) {
                out += c == '"' ? std::string("\"\"") : std::string(1, c);
            }
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    fuzz::installDefectTrap(false);
    fuzz::ByteReader in(data, size);
    const std::uint8_t setup = in.byte();
    const std::string bytes = in.restText();

    const std::vector<CsvRecord> records = readCsv(bytes);
    int previous = 0;
    std::vector<std::vector<std::string>> fields;
    for (const CsvRecord& r : records) {
        FUZZ_CHECK(r.line > previous);
        previous = r.line;
        FUZZ_CHECK(!r.fields.empty());
        fields.push_back(r.fields);
    }
    std::vector<std::vector<std::string>> again;
    for (const CsvRecord& r : readCsv(quotedEverywhere(records))) {
        again.push_back(r.fields);
    }
    FUZZ_CHECK(again == fields);

    ImageSet images;
    images.setDestination(setup % kDestinationCount);
    FeatureFlags flags;
    flags.digitalUnit = (setup & 0x10) != 0;
    flags.rxExpansion = (setup & 0x20) != 0;
    GTexLines lines(qx::fuzz::builtInTable());
    cmcValueTables lists(lines);
    LinkEnvironment links;
    links.image = &images.current();
    links.destination = images.destination();
    links.features = flags;
    links.lists = &lists;
    ChannelImportOptions options;
    if ((setup & 0x40) != 0) {
        options.appendFrom = (setup & 0x80) != 0 ? 495 : 0;
    }
    ChannelCsvImport import(links);
    const bool readable = import.prepare(bytes, options);
    FUZZ_CHECK(readable != import.problem().has_value());
    FUZZ_CHECK(readable || import.lines().empty());
    for (const ChannelImportLine& l : import.lines()) {
        FUZZ_CHECK(l.channel < imagemap::kChannelCount);
        FUZZ_CHECK(l.taken() || l.notes.size() == 1);
    }
    FUZZ_CHECK(!import.reportLines(lines).empty());
    import.apply();

    const std::string exported = ChannelCsvExport(images.current(), lists, false).csv();
    ImageSet target;
    target.setDestination(images.destination());
    links.image = &target.current();
    ChannelCsvImport back(links);
    FUZZ_CHECK(back.prepare(exported));
    if (back.refusedCount() != 0) {
        for (const std::string& line : back.reportLines(lines)) {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
    }
    FUZZ_CHECK(back.refusedCount() == 0);
    return 0;
}
