#pragma once
// The three looks of the toolbar, its menus, the popup menu and the status
// bar: "Default" (flat grey, XP styles off), "OfficeXP" (the light office look
// with a highlight frame under the mouse) and "Stripes" (striped gradients).
// Each is one style sheet for the whole application, whose rules name only
// the main window's toolbar and status bar and the menus, so dialogs keep the
// platform's look. Menus are themed wherever they are created, which covers
// the submenus the toolbar builds without a parent.

#include <QString>
#include <cstdint>
#include <optional>

namespace duduri {

enum class TTheme { thDefault, thOfficeXP, thStripes };

// The theme a skin kind selects (15, 20, 21); none for the kinds that keep
// the look they have.
std::optional<TTheme> ThemeOfSkinKind(std::uint16_t skinKind);
const char* ThemeName(TTheme theme);
QString ThemeStyleSheet(TTheme theme);

// Makes the theme the application's look; a theme already applied costs
// nothing (re-polishing every widget does).
void ApplyApplicationTheme(TTheme theme);
std::optional<TTheme> ApplicationTheme();

// Object names the style sheets select by.
inline constexpr const char* kToolbarObjectName = "TBXToolbar1";
inline constexpr const char* kStatusBarObjectName = "StatusBar1";

}  // namespace duduri
