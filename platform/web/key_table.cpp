// The browser platform's key table: DOM KeyboardEvent.code values to the engine's key values. Plain
// code without the browser, so it is tested on the desktop too.
#include <array>
#include <utility>

#include "platform/web/platform_web.h"

namespace dral {

namespace {

// Keys that do not come in numbered runs. Both Shift, Ctrl and Enter keys are one key each.
constexpr std::array<std::pair<std::string_view, Key>, 27> NamedKeys{{
    {"ArrowUp", Key::Up},
    {"ArrowDown", Key::Down},
    {"ArrowLeft", Key::Left},
    {"ArrowRight", Key::Right},
    {"Space", Key::Space},
    {"Tab", Key::Tab},
    {"ShiftLeft", Key::Shift},
    {"ShiftRight", Key::Shift},
    {"ControlLeft", Key::Ctrl},
    {"ControlRight", Key::Ctrl},
    {"Insert", Key::Ins},
    {"Delete", Key::Del},
    {"Home", Key::Home},
    {"End", Key::End},
    {"PageUp", Key::PgUp},
    {"PageDown", Key::PgDn},
    {"Backspace", Key::Back},
    {"Escape", Key::Escape},
    {"Enter", Key::Enter},
    {"NumpadEnter", Key::Enter},
    {"Pause", Key::Pause},
    {"ScrollLock", Key::ScrollLock},
    {"NumpadMultiply", Key::NpMul},
    {"NumpadDivide", Key::NpDiv},
    {"NumpadAdd", Key::NpAdd},
    {"NumpadSubtract", Key::NpSub},
    {"NumpadDecimal", Key::NpDecimal},
}};

// Runs of keys named by a prefix and a number or letter: "KeyA".."KeyZ", "Digit0".."Digit9",
// "F1".."F12", "Numpad0".."Numpad9".
Key MapNumbered(std::string_view code) {
    if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z')
        return static_cast<Key>(static_cast<int>(Key::A) + (code[3] - 'A'));
    struct Run {
        std::string_view prefix;
        Key first;
        int firstNumber;
        int lastNumber;
    };
    constexpr Run runs[] = {
        {"Digit", Key::K0, 0, 9}, {"Numpad", Key::Np0, 0, 9}, {"F", Key::F1, 1, 12}};
    for (const Run& run : runs) {
        if (!code.starts_with(run.prefix)) continue;
        const std::string_view digits = code.substr(run.prefix.size());
        // One or two digits without a leading zero: "F1" and "F12", never "F01" or "Digit00".
        if (digits.empty() || digits.size() > 2 || (digits.size() == 2 && digits[0] == '0'))
            continue;
        int number = 0;
        for (const char c : digits) number = c >= '0' && c <= '9' ? number * 10 + (c - '0') : -1000;
        if (number < run.firstNumber || number > run.lastNumber) continue;
        return static_cast<Key>(static_cast<int>(run.first) + number - run.firstNumber);
    }
    return Key::None;
}

} // namespace

Key MapDomKey(std::string_view code) {
    for (const auto& [name, key] : NamedKeys)
        if (name == code) return key;
    return MapNumbered(code);
}

} // namespace dral
