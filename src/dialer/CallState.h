#pragma once

#include <QString>

// The state of a call on a line device; None when there is no call at all.
enum class CallState {
    None,
    Idle,
    Offering,
    Accepted,
    DialTone,
    Dialing,
    Ringback,
    Busy,
    SpecialInfo,
    Connected,
    Proceeding,
    OnHold,
    Conferenced,
    OnHoldPendingConference,
    OnHoldPendingTransfer,
    Disconnected,
    Unknown
};

// A short English name of the state, for logs and test messages.
QString callStateName(CallState state);
