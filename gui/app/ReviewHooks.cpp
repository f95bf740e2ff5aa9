#include "gui/app/ReviewHooks.h"

#include <utility>
#include <variant>

#include "core/platform/PlatformPaths.h"
#include "gui/charts/ChartWindow.h"
#include "gui/history/RestoreDialog.h"
#include "gui/support/FormSupport.h"

void openChartsAndBackups(TReviewWindow::Hooks& hooks, vantrel::Prompts& prompts)
{
    hooks.openCharts = [&prompts](QWidget* owner,
                                  std::variant<TReviewWindow::PilotCharts, TReviewWindow::SquadronCharts> charts) {
        TChartWindow* window = nullptr;
        if (auto* pilot = std::get_if<TReviewWindow::PilotCharts>(&charts)) {
            window = TChartWindow::forPilot(prompts, pilot->path, std::move(pilot->record), owner);
        } else {
            auto& squadron = std::get<TReviewWindow::SquadronCharts>(charts);
            window = TChartWindow::forSquadron(prompts, std::move(squadron.entries), squadron.order, owner);
        }
        vantrel::placeWindow(*window, owner);
        window->show();
    };
    hooks.restoreBackup = [&prompts](QWidget* owner, const QString& path, std::function<void()> restored) {
        auto* dialog = new TRestoreDialog(prompts, path, vantrel::paths::backupDirectory(), owner);
        QObject::connect(dialog, &QDialog::accepted, owner, std::move(restored));
        dialog->open();
    };
}
