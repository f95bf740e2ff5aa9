// The review window's Charts and "Restore a backup..." buttons open the chart
// window and the restore dialog. Start-up gives the review window these
// hooks; the review window's own tests give it the same.
#pragma once

#include "gui/review/ReviewWindow.h"
#include "gui/support/Prompts.h"

// Sets `hooks.openCharts` and `hooks.restoreBackup`; the windows they open
// tell their failures through `prompts`.
void openChartsAndBackups(TReviewWindow::Hooks& hooks, vantrel::Prompts& prompts);
