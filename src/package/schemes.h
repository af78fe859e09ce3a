#pragma once
// The state format options (selected/unselected looks of the text elements)
// and the two commands that make a colour scheme current. The state window is
// modelled by StateFormats: what its controls show and which target its edits
// go to; the window binds its widgets to it.
#include <string>

#include "model/document.h"

namespace tessaro::package {

enum class FormatMode { None = 0, Default = 1, Element = 2 };

constexpr int kMinFontSize = 12;
constexpr int kMaxFontSize = 200;

struct StateFormats {
    FormatMode Mode = FormatMode::None;
    std::string Caption = "Default Settings";
    int FontSize = 14;                    // shown within 12..200
    std::string SelWeight = "bold";
    std::string UnselWeight = "bold";
    model::Color SelColor = 0;
    model::Color UnselColor = 0;
    model::Color BgColor = 0;
    bool Transparent = false;
    bool BackgroundControls = true;       // "Use Transparent BackGround", "BackGround Color"
};

// Default mode: the controls show the document defaults; edits go to them.
void LoadDefaultFormats(const model::Theme& doc, StateFormats& w);
// Element mode: the controls show doc.EditItem; edits go to it. `caption` is
// the heading (kind, a blank, the element's caption).
void LoadElementFormats(const model::Document& doc, StateFormats& w, const std::string& caption);

// The user's edits, written through at once into the current mode's target
// (nothing is written in mode None). The font size is kept within 12..200.
void SetFontSize(model::Document& doc, StateFormats& w, int size);
void SetSelWeight(model::Document& doc, StateFormats& w, const std::string& weight);
void SetUnselWeight(model::Document& doc, StateFormats& w, const std::string& weight);
void SetSelColor(model::Document& doc, StateFormats& w, model::Color c);
void SetUnselColor(model::Document& doc, StateFormats& w, model::Color c);
// Default mode only (the controls are hidden in element mode).
void SetBgColor(model::Document& doc, StateFormats& w, model::Color c);
void SetTransparent(model::Document& doc, StateFormats& w, bool on);

// "Load From Current Scheme", either mode: both default weights "bold", the
// default selected, unselected and background colours from scheme slots 29, 31
// and 30; the controls then show the defaults. Font size and transparency stay.
void LoadFromCurrentScheme(model::Document& doc, StateFormats& w);

// Copies BgColor and every element's size, weights and colours from the
// defaults into each in-use entry.
void ApplyDefaultsToEntries(model::Theme& doc);

// Choosing a preset by the list's text: reads doc.AppDir + name, then the
// scheme, DefaultBgColor (slot 30) and every entry's formats change and the
// state window shows the defaults. Throws Error (the reader's) when the file
// cannot be read; then nothing has changed.
void ChoosePreset(model::Document& doc, StateFormats& w, const std::string& name);

// Choosing a scheme file: copies it into doc.AppDir under its own name and
// reads it there; the scheme and the three colour defaults change, the entries
// do not. Returns the name (without folder) that the list shows. Throws Error
// when the file cannot be read; then the scheme and defaults are unchanged.
std::string ChooseSchemeFile(model::Document& doc, const std::string& path);

} // namespace tessaro::package
