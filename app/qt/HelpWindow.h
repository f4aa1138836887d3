#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace velmora::app {

// The guide built into the program, one page at a time, with its links, the way back and
// forward, and the table of contents.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // owner: the window the help was asked from. The guide stays usable while that window is
    // modal, and goes when it goes.
    explicit HelpWindow(QWidget* owner);

    void showPage(const QUrl& page);
    QUrl currentPage() const;

private:
    void createControls();
    void showContents();

    QTextBrowser* guideBrowser_ = nullptr;
    QPushButton* contentsButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* forwardButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

} // namespace velmora::app
