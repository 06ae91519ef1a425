#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace tallix {

enum class MessageIcon {
    None,
    Information,
    Warning
};

// Every message box of the program passes here, so that tests can record them and the automation
// driver can see and answer them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal, with a single OK button; returns once the user has closed it.
    virtual void Show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
};

// Boxes that nobody sees, each as if answered with OK at once: for runs without a user.
class SilentMessageBoxes : public MessageBoxes {
public:
    void Show(QWidget*, const QString&, const QString&, MessageIcon) override {}
};

class QtMessageBoxes : public MessageBoxes {
public:
    void Show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;

    // Called with each box as soon as it is on screen, inside its modal loop.
    void SetObserver(std::function<void(QMessageBox&)> observer) { observer_ = std::move(observer); }

private:
    std::function<void(QMessageBox&)> observer_;
};

} // namespace tallix
