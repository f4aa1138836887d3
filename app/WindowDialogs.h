#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace velmora::app {

// The modal questions and messages of the main window. The program uses QtWindowDialogs; the
// window tests answer them from a script, so no test ever waits on a real modal loop.
class WindowDialogs {
public:
    virtual ~WindowDialogs() = default;

    // Asks for a Sauce document, starting in startFolder and offering lastChosen (when not
    // empty). Returns the confirmed path, which need not exist, or nothing when cancelled.
    virtual std::optional<QString> chooseDocument(QWidget* owner, const QString& startFolder,
                                                  const QString& lastChosen) = 0;

    // A plain message that waits for OK.
    virtual void showMessage(QWidget* owner, const QString& text) = 0;

    // The application's error report: the error's text with the error icon.
    virtual void showError(QWidget* owner, const QString& text) = 0;
};

class QtWindowDialogs : public WindowDialogs {
public:
    std::optional<QString> chooseDocument(QWidget* owner, const QString& startFolder,
                                          const QString& lastChosen) override;
    void showMessage(QWidget* owner, const QString& text) override;
    void showError(QWidget* owner, const QString& text) override;
};

// The caption of every message box.
inline const QString applicationTitle = QStringLiteral("Velmora");

} // namespace velmora::app
