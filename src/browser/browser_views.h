#pragma once

#include "browser/queued_message_view.h"
#include "browser/row_view.h"

// The two lists and the message boxes that the browser core reports to. Owned
// by the caller; they outlive every core object given them.
struct BrowserViews {
    RowView& serverList;
    RowView& playerList;
    QueuedMessageView& messages;
};
