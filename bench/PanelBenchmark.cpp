// What one tick of the main window's quotes panel costs: moving on one pixel and copying the
// frame onto the shown window (the flush to the screen is the window system's part).

#include "FakeServices.h"
#include "TMainForm.h"
#include "TSecretPanel.h"
#include "WindowFont.h"
#include "ui_MainForm.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace zumzik;

void TicksAndCopiesTheQuotesPanelOntoTheWindow(benchmark::State& state) {
    test::FakeServiceSet fakes;
    TMainForm form{fakes.services()};
    form.show();
    TSecretPanel& panel = *form.controls().SecretPanel;
    panel.setInterval(0); // the benchmark gives the ticks
    for (auto _ : state) {
        panel.tick();
        // The copy is asked for on the user-interface thread, as the worker's tick asks for it.
        QCoreApplication::processEvents();
    }
    if (panel.frame().isNull())
        state.SkipWithError("no frame was drawn");
}
BENCHMARK(TicksAndCopiesTheQuotesPanelOntoTheWindow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
