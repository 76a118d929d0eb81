#pragma once
// What the widget tests' main() saw before it switched the dialog layer to
// scripted mode.
extern bool g_dialogsScriptedAtStart;
