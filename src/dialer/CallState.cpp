#include "dialer/CallState.h"

QString callStateName(CallState state) {
    switch (state) {
    case CallState::None:
        return QStringLiteral("none");
    case CallState::Idle:
        return QStringLiteral("idle");
    case CallState::Offering:
        return QStringLiteral("offering");
    case CallState::Accepted:
        return QStringLiteral("accepted");
    case CallState::DialTone:
        return QStringLiteral("dial tone");
    case CallState::Dialing:
        return QStringLiteral("dialing");
    case CallState::Ringback:
        return QStringLiteral("ringback");
    case CallState::Busy:
        return QStringLiteral("busy");
    case CallState::SpecialInfo:
        return QStringLiteral("special information");
    case CallState::Connected:
        return QStringLiteral("connected");
    case CallState::Proceeding:
        return QStringLiteral("proceeding");
    case CallState::OnHold:
        return QStringLiteral("on hold");
    case CallState::Conferenced:
        return QStringLiteral("conferenced");
    case CallState::OnHoldPendingConference:
        return QStringLiteral("on hold pending conference");
    case CallState::OnHoldPendingTransfer:
        return QStringLiteral("on hold pending transfer");
    case CallState::Disconnected:
        return QStringLiteral("disconnected");
    case CallState::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}
