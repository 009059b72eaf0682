#pragma once
// The page command words: how a click in an HTML page becomes a command.
//
// A page names a command in a link's address (the part after its last "/",
// so "ACT_NEW_GAME" and "file:///games/ACT_NEW_GAME" name the same one) or in
// a button element's name. Words are compared exactly and case-sensitively;
// an address that is no command word reaches the desktop ("open", hidden),
// which is how a page links to a web site without ever loading it.
//
// The page window collects what it saw of a click into a TPageClick (its
// own script does that, since the page's scripts never run); everything
// decided about the click is decided here.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "project/Scripts.h"

namespace duduri {

// The code the page window keeps for itself: close the page window.
inline constexpr std::int32_t kPageCloseCode = -1;
// The form action of a high-score entry page.
inline constexpr const char* kEntryFormAction = "ACT_NEW_HIGHSCORE_ENTRY";
// The text input of an entry page that holds the player's name.
inline constexpr const char* kEntryNameInput = "HIGHSCORE_ENTRY_NAME";

enum class TPageClickKind {
  ckOther,        // anything else: nothing happens
  ckLink,         // a link, or something inside one (an image, bold text)
  ckButton,       // a button element, or something inside one
  ckInputButton,  // an input of type button, submit, reset or image
};

struct TPageClick {
  TPageClickKind Kind = TPageClickKind::ckOther;
  std::string Address;  // a link's address as the browser resolved it
  std::string Target;   // a link's target attribute
  std::string Name;     // a button's name attribute
  std::string Value;    // a button's value attribute
  // The action attributes of the document's forms.
  std::vector<std::string> FormActions;
};

// The part of an address after its last "/" (the whole address without one).
std::string PageCommandWord(std::string_view address);

// Sets `item` to the command a word names. The parameter is emptied first;
// `address` is what command 11 opens and `target` what "ACT_EXECUTE_APP"
// opens.
void PageWordCommand(std::string_view word, std::string_view address, std::string_view target,
                     TScriptItem& item);

// Sets `item` to the command of a click: a link by its address, a button by
// its name, an input button to command 17 when the document holds an entry
// form, and code 0 for everything else. Returns false for "everything else"
// (a click on text, an image outside a link, an input without an entry
// form): such a click is meant to do nothing, so it is not run as a
// command, which would close a modal page.
bool PageClickCommand(const TPageClick& click, TScriptItem& item);

// Whether one of the actions is that of a high-score entry form.
bool HasEntryForm(const std::vector<std::string>& formActions);

}  // namespace duduri
