// The pilot view dialog: the loaded pilot's details, its reports in a text
// window, the log entry to export and the mission listing controls.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>

#include "core/app/PilotViewing.h"
#include "core/pilot/FileAccess.h"
#include "core/reports/MissionRange.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotRecord.h"
#include "core/pilot/PilotSave.h"
#include "core/reports/LogEntry.h"
#include "core/reports/ReportDate.h"
#include "gui/support/FormSupport.h"
#include "gui/support/Prompts.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;
class TextWindowSink;
class WholeNumberField;

class TPltFileView : public QDialog {
    Q_OBJECT
public:
    // `showSettings` shows the settings dialog ("Settings"); `files` is what
    // loads and saves go through, `today` the date of the log entry.
    TPltFileView(vantrel::Prompts& prompts, std::function<void()> showSettings, QWidget* parent = nullptr,
                 vantrel::FileAccess& files = vantrel::systemFileAccess(),
                 vantrel::DateSource today = &vantrel::localShortDate);
    ~TPltFileView() override;

    // Loads a pilot file, fills the controls and writes the report. Returns
    // the load error count (each error already shown); 0 means the dialog is
    // ready to be shown. A stored setting that is not a whole number raises
    // vantrel::ConversionError from the report, after the summary lines.
    std::uint16_t ReadMission(const QString& FileName);
    // The log entry as it stands in the export field, which the user may
    // have edited: what goes into the main log when the dialog closes.
    QString exportEntry() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Handlers.
    void Button1Click();
    void Button2Click();
    void TXTListClick();
    void SetLastButtonClick();
    void ZeroButtonClick();
    void Button3Click();
    void Button4Click();
    void GetAllButtonClick();

    // Clears the text window and writes the whole report anew.
    void BuildPilotReport(bool withMissionListing);
    // Appends the campaign mission listing over the From/To range.
    void RipScore();
    void createControls();
    vantrel::MissionRange rangeFromFields() const;
    void rangeToFields(const vantrel::MissionRange& range);

    vantrel::Prompts& prompts_;
    std::function<void()> showSettings_;
    vantrel::FileAccess& files_;
    vantrel::DateSource today_;
    // Each pilot file is backed up before its first save of the run.
    vantrel::BackupSession backups_;
    // The file the last load read: what Save writes.
    QString fileName_;
    // What the last load read, and what the load gave the controls.
    vantrel::app::PilotView pilot_;
    // The file as loaded, then as this view's saves left it: Save asks
    // before writing over what another program wrote since.
    vantrel::KnownPilotFile known_;
    std::unique_ptr<TextWindowSink> sink_;

    // Upper-left panel: the two groups side by side.
    QFrame* Panel1;
    QGroupBox* GroupBox2;  // "Pilot Details:"
    QLabel* Label1;
    QLineEdit* PilotNameEdit;
    QComboBox* ActiveMissionBox;
    QComboBox* RankBox;
    QComboBox* RatingBox;
    QComboBox* KalidorBox;
    QPushButton* Button2;
    QListWidget* ShipTypes;
    QGroupBox* GroupBox1;  // "Detailed output: "
    QLabel* Label2;
    QPushButton* TXTList;
    WholeNumberField* GetFromEdit;
    WholeNumberField* GetToEdit;
    QPushButton* SetLastButton;
    QPushButton* ZeroButton;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* GetAllButton;
    // Below the panel.
    QGroupBox* GroupBox3;  // "Save score to log:"
    QLineEdit* ExportEdit;
    QPushButton* Button1;
    // Right-hand side.
    QTextEdit* Memo1;
};
