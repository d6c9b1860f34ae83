#pragma once
// What an experiment form hands to the front-end that shows it: the message a reaction or a
// validation raises, and the visible state of one field (its text, whether it is offered, whether it
// is read-only, its caption). The front-end re-reads the views after every call into a form.

#include "base/UserPort.h"

#include <string>
#include <vector>

namespace tessaly {

// A message box to show: text, title (empty: the platform's default) and icon.
struct FormMessage {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    bool operator==(const FormMessage&) const = default;
};

// The outcome of a call into a form: whether the request was taken (an option that is not offered,
// or a name the form does not hold, is refused) and the messages to show, in order.
struct FormReply {
    bool accepted = true;
    std::vector<FormMessage> messages;
};

// Offered (visible) and read-only state of one control.
struct FieldState {
    bool visible = true;
    bool readOnly = false;
};

// Everything a widget bound to a field needs to show it.
struct FieldView {
    std::string text;    // the field's text ("" for check boxes, frames and labels without text)
    bool visible = true; // offered
    bool readOnly = false;
    std::string caption; // label text, where the form sets one ("" otherwise)
};

} // namespace tessaly
