#include "fuzz/fuzz_support.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "editor/transform_commands.h"

namespace fuzzing {

void RunContourCommand(editor::Editor& editor, std::span<const uint8_t> input) {
    unsigned sum = 0;
    for (const uint8_t b : input) {
        sum += b;
    }
    switch (sum % 6) {
        case 0:
            editor::SpeedButtonMirrorGorClick(editor);
            break;
        case 1:
            editor::SpeedButtonMirrorVertClick(editor);
            break;
        case 2:
            editor::SpeedButtonRotateClick(editor);
            break;
        case 3:
            editor::SpeedButtonYuClick(editor);
            break;
        case 4:
            editor::SpeedButtonReturn128Click(editor);
            break;
        default:
            editor::SpeedButtonNormalDistanceClick(editor);
            break;
    }
    editor.SpeedButtonUndoClick();
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "Property failed: %s\n", what);
        std::abort();
    }
}

}  // namespace fuzzing

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // Drawing needs a GUI application; the offscreen platform needs no display. It lives for
    // the whole run and gets arguments of its own, so that it takes none of the fuzzer's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char qtName[] = "fuzz";
    static char* qtArgv[] = {qtName, nullptr};
    static QGuiApplication* application = new QGuiApplication(qtArgc, qtArgv);
    (void)application;
    return 0;
}
