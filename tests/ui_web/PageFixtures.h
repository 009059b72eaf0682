#pragma once
// The pages the page tests open, kept apart from the test classes (the meta
// object compiler does not read raw string literals well).

namespace duduri::test {

// Links, buttons, a picture in a link and one outside, plain text.
extern const char* const kMenuPage;
// High-score placeholders, one outside the table.
extern const char* const kScoresPage;
// Everything a page can ask the network for; %1 is the server's address, %2 its host.
extern const char* const kHostilePage;
// References to files outside the base; %1 is the outside picture's path.
extern const char* const kOutsidePage;
// A high-score entry form with links that must do nothing there.
extern const char* const kEntryPage;
// The player's pages: a menu with a close link, an introduction with a new
// game link, and an entry form.
extern const char* const kPlayerMenuPage;
extern const char* const kPlayerIntroPage;
extern const char* const kPlayerEntryPage;
// Links to the fourth picture and to one that is no number.
extern const char* const kPlayerPicturesPage;

}  // namespace duduri::test
