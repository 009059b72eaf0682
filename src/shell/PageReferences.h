#pragma once
// The files a page refers to: what `duduri-pack create --page` ships beside
// a project so that its pages show complete. A forgiving scan, not a parser:
// it finds the addresses in src, href, background, data, poster and srcset
// attributes, in style attributes and style elements (url(...) and @import),
// and in style sheets; it reads any text in one pass and never fails.

#include <string>
#include <string_view>
#include <vector>

namespace duduri {

// The addresses in a page's markup, in the order they appear (duplicates
// kept, entities such as &amp; decoded).
std::vector<std::string> PageReferences(std::string_view html);

// The addresses in a style sheet: url(...) and @import "...".
std::vector<std::string> StyleReferences(std::string_view css);

// A reference as a file path relative to the referring file's folder: the
// query and fragment cut, %XX decoded, "." and "x/.." folded (a path that
// climbs above the folder keeps its leading ".."). Empty when it is no such
// path: a web or other address with a scheme ("http:", "data:", "mailto:"),
// an absolute path, or a folder.
std::string LocalReferencePath(std::string_view reference);

}  // namespace duduri
