#pragma once

#include "app/HelpViewer.h"
#include "app/TMFormSetup.h"

#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>

class GradientPanel;
class QLabel;
class QPushButton;

// The main window: two runs on two panels, the help and the way out. Started with exactly two
// arguments it is in automatic mode: it starts the run the first one names as soon as it is
// shown, closes itself when that run ends and leaves the completion code in the ini file.
class TMForm : public QWidget {
    Q_OBJECT
public:
    explicit TMForm(TMFormSetup setup, QWidget* parent = nullptr);
    ~TMForm() override;

    bool automaticMode() const { return automaticMode_; }
    std::int32_t completionCode() const { return completionCode_; }
    const QString& documentFileName() const { return filenameXML; }

    // The two runs, as the buttons and automatic mode start them.
    void BExportarClick();
    void BImportarClick();
    // The table of contents of the help file.
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createComponents();
    void FormCreate();
    void FormShow();
    void FormClose();
    void showHelpForFocus();

    void runOnChosenDocument(const std::function<void(const std::filesystem::path&)>& coreRun);
    void chooseDocument();
    QString dialogStartFolder() const;
    bool runReportingErrors(const std::function<void(const std::filesystem::path&)>& coreRun,
                            const std::filesystem::path& document);
    void finishRun();

    TMFormSetup setup_;
    HelpViewer help_;

    QString filenameXML;
    bool automaticMode_ = false;
    std::int32_t completionCode_ = 0;
    bool shownBefore_ = false;

    GradientPanel* Draw3D1 = nullptr;
    GradientPanel* Draw3D2 = nullptr;
    GradientPanel* Draw3D3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BExportar = nullptr;
    QPushButton* BImportar = nullptr;
    QPushButton* BClose = nullptr;
    QPushButton* Button1 = nullptr;
};
