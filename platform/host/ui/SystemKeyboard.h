#pragma once
// Whether text is typed on the system's own on-screen keyboard or on the program's keypad. Phone shells
// (Phosh, Plasma Mobile) bring an on-screen keyboard that appears for a focused text field; there the
// keypad shows only its field, OK and Cancel. Elsewhere the keypad shows its keys as on the phone.
// `--keypad own|system|auto` chooses; auto (the default) looks for a running on-screen keyboard.
// Everything here runs on the user-interface thread.

#include <string>

namespace host {

enum class KeypadChoice { kAuto, kOwn, kSystem };

// Reads the option's word; false for a word that names no choice.
bool ParseKeypadChoice(const std::string& word, KeypadChoice& out);
void SetKeypadChoice(KeypadChoice choice);
// Whether the system's keyboard serves text entry now.
bool UsesSystemKeyboard();

}  // namespace host
