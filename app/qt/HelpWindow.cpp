#include "app/qt/HelpWindow.h"

#include "app/presenter/MainView.h"
#include "app/qt/HelpDesk.h"
#include "messages/WindowTexts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace velmora::app {

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(messages::kGuideWindowCaption));
    resize(720, 560);
    createControls();
}

void HelpWindow::createControls() {
    contentsButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DirHomeIcon),
                                      QString::fromUtf8(messages::kGuideContentsButton), this);
    contentsButton_->setObjectName(QStringLiteral("contentsButton"));
    backButton_ = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack),
                                  QString::fromUtf8(messages::kGuideBackButton), this);
    backButton_->setObjectName(QStringLiteral("backButton"));
    backButton_->setEnabled(false);
    forwardButton_ = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward),
                                     QString::fromUtf8(messages::kGuideForwardButton), this);
    forwardButton_->setObjectName(QStringLiteral("forwardButton"));
    forwardButton_->setEnabled(false);
    closeButton_ = new QPushButton(QString::fromUtf8(messages::kGuideCloseButton), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));

    guideBrowser_ = new QTextBrowser(this);
    guideBrowser_->setObjectName(QStringLiteral("guideBrowser"));
    guideBrowser_->setOpenLinks(true);
    guideBrowser_->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contentsButton_);
    buttons->addWidget(backButton_);
    buttons->addWidget(forwardButton_);
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(guideBrowser_);

    connect(contentsButton_, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(backButton_, &QPushButton::clicked, guideBrowser_, &QTextBrowser::backward);
    connect(forwardButton_, &QPushButton::clicked, guideBrowser_, &QTextBrowser::forward);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    connect(guideBrowser_, &QTextBrowser::backwardAvailable, backButton_, &QWidget::setEnabled);
    connect(guideBrowser_, &QTextBrowser::forwardAvailable, forwardButton_, &QWidget::setEnabled);
}

void HelpWindow::showPage(const QUrl& page) {
    guideBrowser_->setSource(page);
}

QUrl HelpWindow::currentPage() const {
    return guideBrowser_->source();
}

void HelpWindow::showContents() {
    showPage(guidePageUrl(QString::fromUtf8(guideContentsPage)));
}

} // namespace velmora::app
