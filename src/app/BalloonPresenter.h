#pragma once

#include <QFrame>
#include <QIcon>
#include <QPoint>
#include <QString>
#include <QTimer>

class QLabel;

// The balloon presenter MSG: a small frameless popup with an icon, a bold header and a message,
// shown below and to the right of a control without taking the focus, and hidden after a while.
class BalloonPresenter : public QFrame {
    Q_OBJECT
public:
    static constexpr int VisibleMs = 1500;

    // The newest presenter becomes the one that ShowBalloon uses.
    explicit BalloonPresenter(QWidget* parent = nullptr);
    ~BalloonPresenter() override;

    // The presenter in use; when there is none yet, one is created as a child of `parentIfNew`.
    static BalloonPresenter* instance(QWidget* parentIfNew = nullptr);
    static bool hasInstance();

    // Shows the message pointing at the control; an empty header shows the default header.
    void showMessage(QWidget* control, const QIcon& icon, const QString& header,
                     const QString& text, int visibleMs = VisibleMs);
    void hideMessage();

    QString defaultHeader() const { return QStringLiteral("Hint"); }
    QString header() const;
    QString text() const;
    bool isShowing() const { return isVisible(); }
    // The screen point the balloon points at: the middle of the control's lower edge.
    QPoint anchorPosition() const { return anchor_; }

private:
    void placeAt(QWidget* control);

    QLabel* icon_;
    QLabel* header_;
    QLabel* text_;
    QTimer hideTimer_;
    QPoint anchor_;
};
