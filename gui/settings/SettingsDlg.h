// The settings dialog: every user option of the program, filled from the
// settings file each time the dialog is shown and written back by OK.
#pragma once

#include <QDialog>

#include <string>
#include <string_view>

#include "core/settings/SettingsTable.h"
#include "gui/support/Prompts.h"
#include "gui/widgets/RadioGroup.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

class TSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsDlg(vantrel::Prompts& prompts, QWidget* parent = nullptr);

    // What the control of a settings key shows, as the text OK stores.
    std::string storedValue(std::string_view key) const;

signals:
    // OK has stored the controls (or stopped at a refused write).
    void settingsStored();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Handlers.
    // Runs each time the dialog is shown: a fresh program-wide store, then
    // every control filled from it.
    void FormActivate();
    void OKBtnClick();
    void Default1Click();
    void CheatCheckBoxEnter();
    void CheatCheckBoxMouseUp();
    void LogFileButtonClick();

    // A stored text put into the control of a settings key, by the rules of
    // activation. Throws ConversionError for a choice that is no whole number.
    void putValue(std::string_view key, const std::string& value);
    void createControls();
    // The control of a row of the settings table, found by its object name.
    QWidget* settingControl(const vantrel::SettingDefault& setting) const;

    vantrel::Prompts& prompts_;

    // The controls, in the order of the form.
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QLineEdit* DirEdit;
    QLabel* Label1;
    QCheckBox* SaveFileNameCheckBox;
    QGroupBox* GroupBox1;  // "Mission details view"
    QCheckBox* ShowZeroCheckBox;
    QCheckBox* ShowTotalCheckBox;
    QCheckBox* ShowScoreCheckBox;
    QCheckBox* ShowTimeCheckBox;
    QCheckBox* ShowBonusCheckBox;
    QCheckBox* CheatCheckBox;
    QLabel* Image1;
    QPushButton* Default1;
    QCheckBox* DetaildErrorsCheckBox;
    QGroupBox* GroupBox2;  // "Main log score import format"
    QCheckBox* IncludeDateCheckBox;
    RadioGroup* NameSourceGroup;
    RadioGroup* ScoreFormatGroup;
    QLineEdit* LogFileEdit;
    QLabel* Label2;
    QPushButton* LogFileButton;
    // The file-save dialog of "...", which keeps its state between uses.
    vantrel::Prompts::FileRequest SaveDialog1;
    QCheckBox* MegaDetailsCheckBox;
    // Below the form's controls: offer each save the game makes of a pilot.
    QCheckBox* WatchFoldersCheckBox;
};
