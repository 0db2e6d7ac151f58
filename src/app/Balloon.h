#pragma once

class QComboBox;
class QLineEdit;
class QString;
class QWidget;

// The kind of a balloon message: the icon and header it shows.
enum class BalloonKind { Error, Information };

// Shows a balloon message at the control for 1500 ms (or `visibleMs`): kind Error with the error
// icon and header "ERROR", Information with the information icon and header "INFORMATION". Any
// other value of the kind shows nothing.
void ShowBalloon(QWidget* control, const QString& text, BalloonKind kind, int visibleMs = 1500);

// Ends the calling handler with SilentAbort, after the balloon "Null Value Not Allowed", when the
// edit box holds no characters at all. A text of blanks only passes.
void RequireText(QLineEdit* edit);
void RequireText(QComboBox* edit);
