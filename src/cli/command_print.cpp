// qx5130-cli print FILE.icf [CALLSTRING | --all] -o OUT.pdf [--font-size 1..5]: the pages the
// editor prints, as PDF.
#include "cli_arguments.h"
#include "cli_call_string.h"
#include "cli_command.h"
#include "cli_files.h"
#include "cli_session.h"
#include "table_output.h"

#include "app/code_page_text.h"
#include "app/main_controller.h"
#include "output/print_all_list.h"
#include "output/sheet_printer.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_look.h"
#include "text/ui_text_choice.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cstdio>
#include <memory>

namespace qx::cli {

namespace {

constexpr int kPdfDpi = 600;

// Fonts need a window system; without a display the offscreen one serves.
std::unique_ptr<QGuiApplication> guiApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return nullptr;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "qx5130-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int runPrint(const CliOptions& options, const std::vector<std::string>& args) {
    static const ArgumentRules rules{
        "print FILE.icf [CALLSTRING | --all] -o OUT.pdf [--font-size 1..5]",
        {{"-o", true}, {"--all", false}, {"--font-size", true}},
        1,
        2};
    const auto parsed = CommandArguments::parse(args, rules);
    if (!parsed) {
        return kExitUsage;
    }
    const std::optional<std::string> output = parsed->value("-o");
    if (!output) {
        return usageError(rules.usage, "-o OUT.pdf is missing");
    }
    const bool all = parsed->has("--all");
    if ((parsed->positional().size() == 2) == all) {
        return usageError(rules.usage, "name one CALLSTRING or --all");
    }
    std::optional<int> fontPoints;
    if (const auto size = parsed->value("--font-size")) {
        if (size->size() != 1 || (*size)[0] < '1' || (*size)[0] > '5') {
            return usageError(rules.usage, "--font-size takes 1 to 5, not \"" + *size + "\"");
        }
        fontPoints = 7 + ((*size)[0] - '0');
    }
    CliSession session(options);
    if (!all) {
        if (const int status = checkCallString(session.controller(), (*parsed)[1]);
            status != kExitOk) {
            return status;
        }
    }
    CliFiles& files = session.files();
    if (const int status = files.refuseSameFile((*parsed)[0], *output); status != kExitOk) {
        return status;
    }
    if (const int status = files.open((*parsed)[0]); status != kExitOk) {
        return status;
    }
    if (const int status = files.checkWritable(*output); status != kExitOk) {
        return status;
    }
    MainController& controller = session.controller();
    cmcEeprom& image = session.document().current();
    PrintOrder order;
    order.fontPoints = fontPoints.value_or(session.settings().printerFontSize);
    if (all) {
        order.printAll = true;
        order.callStrings = controller.treeCallStrings();
        // As the Print All dialog starts.
        order.banks = bankChannelsPreset(image);
        order.memoryBlocks = !order.banks;
    } else {
        order.callStrings = {(*parsed)[1]};
    }

    const auto app = guiApplication();
    const CodePageText codec(controller.shiftJis() ? "Shift_JIS" : "windows-1252");
    const SheetLook look(codec, QGuiApplication::palette());
    SheetPrinter printer(
        controller.sheetEnvironment(), look,
        [&controller](cmcCellCapsule& request) { return controller.dispatch().dispatch(request); });
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kPdfDpi);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(codec.toQString(session.texts().firstLine("GI_Sys_AppTitle")));
        writer.setCreator(codec.toQString(session.texts().firstLine("GI_Sys_AppTitleRev")));
        pages = printer.print(writer, order);
    }
    if (pages == 0) {
        std::fprintf(stderr, "Nothing to print: the sheet is empty or not printable.\n");
        return kExitRefused;
    }
    const QByteArray& bytes = pdf.data();
    if (const int status = files.writeText(
            *output, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        status != kExitOk) {
        return status;
    }
    std::fprintf(stderr, "%d pages\n", pages);
    return kExitOk;
}

const CommandRegistration registration{
    {"print", "FILE.icf [CALLSTRING | --all] -o OUT.pdf [--font-size 1..5]",
     "writes the printed pages of one sheet, or of every sheet of the tree (--all), as PDF; "
     "--font-size n prints at 7 + n points",
     &runPrint}};

} // namespace

} // namespace qx::cli
