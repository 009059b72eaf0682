// Finding the files a page refers to, for shipping pages with a project.

#include <gtest/gtest.h>

#include "shell/PageReferences.h"

namespace duduri::test {
namespace {

using Refs = std::vector<std::string>;

TEST(PageReferences, AttributesStylesAndSheets) {
  const char* page = R"html(<html><head>
    <link rel="stylesheet" HREF='style.css'><script src="x.js">var a = "<img src=no.png>";</script>
    <style>body { background: url( "bg.png" ) } @import 'more.css'; /* url(skip.png) */</style>
    </head><body background=tile.jpg>
    <!-- <img src="commented.png"> -->
    <img src="a&amp;b.png" srcset="s1.png 1x, s2.png 2x"><a href="ACT_NEW_GAME">new</a>
    <div style="background-image:url(inline.png)"></div><video poster="p.png"></video>
    <object data="o.svg"></object><img src = " spaced.png ">
    <p>a < b and c > d</p><img src="unterminated.png)html";
  EXPECT_EQ(PageReferences(page), (Refs{"style.css", "x.js", "bg.png", "more.css", "tile.jpg",
                                        "a&b.png", "s1.png", "s2.png", "ACT_NEW_GAME", "inline.png",
                                        "p.png", "o.svg", "spaced.png", "unterminated.png"}));
  EXPECT_EQ(StyleReferences("a{b:url(x.png)} @import \"y.css\"; c{d:URL('z.woff')}"),
            (Refs{"x.png", "y.css", "z.woff"}));
  // Cut-off text of every kind ends the scan quietly.
  for (const char* text : {"<img src=\"", "<img src", "<", "<!--", "<style>url(", "<a href='x"}) {
    PageReferences(text);
  }
  EXPECT_TRUE(StyleReferences("url(").empty());
}

TEST(PageReferences, LocalPathsOfReferences) {
  EXPECT_EQ(LocalReferencePath("images/a.png?v=2#top"), "images/a.png");
  EXPECT_EQ(LocalReferencePath("my%20picture.png"), "my picture.png");
  EXPECT_EQ(LocalReferencePath("sub/../a.png"), "a.png");
  EXPECT_EQ(LocalReferencePath("./sub\\b.png"), "sub/b.png");
  EXPECT_EQ(LocalReferencePath("a:b/c.png"), "");  // a scheme
  for (const char* other : {"http://x/a.png", "data:image/png;base64,AA", "mailto:a@b", "",
                            "/etc/passwd", "#top", "folder/", "a%00.png", "..", "a/../.."}) {
    EXPECT_EQ(LocalReferencePath(other), "") << other;
  }
  EXPECT_EQ(LocalReferencePath("dir/x:y.png"), "dir/x:y.png");
  // Climbing is kept for the caller to judge.
  EXPECT_EQ(LocalReferencePath("../img/bg.png"), "../img/bg.png");
  EXPECT_EQ(LocalReferencePath("sub/../../up.png"), "../up.png");
}

}  // namespace
}  // namespace duduri::test
