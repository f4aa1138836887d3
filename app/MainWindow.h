#pragma once

#include "app/MainWindowSetup.h"

#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>

class QLabel;
class QPushButton;

namespace velmora::app {

class GradientPanel;

// The main window: two runs on two panels, the help and the way out. Started with exactly two
// arguments it is in automatic mode: it starts the run the first one names as soon as it is
// shown, closes itself when that run ends and leaves the completion code in the ini file.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    bool automaticMode() const { return automaticMode_; }
    std::int32_t completionCode() const { return completionCode_; }
    const QString& documentFileName() const { return documentPath_; }

    // The two runs, as the buttons and automatic mode start them.
    void startConversion();
    void startResults();
    // The table of contents of the help.
    void showHelpContents();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void startNamedRun();
    void writeCompletionCode();

    void runOnChosenDocument(const std::function<void(const std::filesystem::path&)>& coreRun);
    void chooseDocument();
    QString dialogStartFolder() const;
    bool runReportingErrors(const std::function<void(const std::filesystem::path&)>& coreRun,
                            const std::filesystem::path& document);
    void finishRun();

    MainWindowSetup setup_;

    QString documentPath_;
    bool automaticMode_ = false;
    std::int32_t completionCode_ = 0;
    bool shownBefore_ = false;

    GradientPanel* conversionPanel_ = nullptr;
    GradientPanel* resultsPanel_ = nullptr;
    GradientPanel* bottomPanel_ = nullptr;
    QLabel* conversionTitle_ = nullptr;
    QLabel* resultsTitle_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QPushButton* convertButton_ = nullptr;
    QPushButton* resultsButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};

} // namespace velmora::app
