#pragma once

#include "app/MainWindowSetup.h"
#include "formats/RunNotes.h"

#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace velmora::app {

class GradientPanel;

// The main window: two runs on two panels, the help and the way out. Started with exactly two
// arguments it is in automatic mode: it starts the run the first one names as soon as it is
// shown, closes itself when that run ends and leaves the completion code in the ini file, and
// the run's notes beside it.
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
    // A run of the core on a document, giving what it noted on the way.
    using CoreRun = std::function<RunNotes(const std::filesystem::path& document)>;

    void createControls();
    void startNamedRun();
    void leaveNotesForCaller();
    void writeCompletionCode();

    void runOnChosenDocument(const CoreRun& coreRun);
    void chooseDocument();
    QString dialogStartFolder() const;
    std::optional<RunNotes> runReportingErrors(const CoreRun& coreRun,
                                               const std::filesystem::path& document);
    void finishRun(const RunNotes& notes);
    void showClosingMessage(const RunNotes& notes);
    void saveNotesChosen(QWidget* box, const RunNotes& notes);

    MainWindowSetup setup_;

    QString documentPath_;
    bool automaticMode_ = false;
    std::int32_t completionCode_ = 0;
    bool shownBefore_ = false;
    RunNotes finishedRunNotes_;

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
