#pragma once

#include <QString>

// Registration of Pobi to start when the user logs in. Failures are logged by the
// implementation ("Pobi: launch at login failed: ...") and leave the state unchanged.
class LoginItem {
public:
    virtual ~LoginItem() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};
