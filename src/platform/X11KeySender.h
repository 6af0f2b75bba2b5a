#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/KeySender.h"

struct _XDisplay;

// Sends key events through the X server's XTest extension and reads the layout through XKB.
class X11KeySender : public IKeySender
{
public:
    // None when there is no X display or it lacks XTest or XKB.
    static std::unique_ptr<X11KeySender> Open();
    ~X11KeySender() override;

    X11KeySender(const X11KeySender&) = delete;
    X11KeySender& operator=(const X11KeySender&) = delete;

    KeyboardSnapshot ReadKeyboard() override;
    void PressKey(KeyNumber key) override;
    void ReleaseKey(KeyNumber key) override;
    void MapSpareKey(KeyNumber key, char32_t character) override;
    void RestoreKey(KeyNumber key) override;
    void SetLockedModifiers(unsigned mask) override;
    void Wait(std::chrono::milliseconds time) override;

private:
    explicit X11KeySender(_XDisplay* display);

    _XDisplay* display;
    // The symbols each borrowed key had before.
    std::map<KeyNumber, std::vector<unsigned long>> ownSymbols;
};
