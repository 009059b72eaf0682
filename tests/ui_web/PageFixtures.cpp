#include "PageFixtures.h"

namespace duduri::test {

const char* const kMenuPage = R"(<html><head><title>Menu</title></head><body>
      <p><a id="play3" href="ACT_PLAY_3">Third picture</a></p>
      <p><a id="playx" href="ACT_PLAY_x">Broken</a></p>
      <p><a href="ACT_NEW_GAME"><b id="bold">New game</b></a></p>
      <p><a href="ACT_LOAD_GAME"><img id="inlink" src="pic.png"></a> <img id="alone" src="pic.png"></p>
      <p><a id="exec" href="ACT_EXECUTE_APP" target="readme.txt">Read me</a></p>
      <p><a id="web" href="https://example.org/games">Web site</a></p>
      <p><button id="about" name="ACT_ABOUT_DLG">About</button></p>
      <p id="text">Just text.</p>
      <form action="search.html"><input id="plain" type="button" value="x"></form>
    </body></html>)";

const char* const kScoresPage = R"(<title>Best times</title><table>
      <tr><td id="n0">HIGHSCORE_NAME_0</td><td id="t0">HIGHSCORE_TIME_0</td></tr>
      <tr><td id="n1">HIGHSCORE_NAME_1</td><td id="t1">HIGHSCORE_TIME_1</td></tr>
      <tr><td id="n9">HIGHSCORE_NAME_9 and HIGHSCORE_TIME_9</td></tr></table>
      <p id="other">HIGHSCORE_NAME_0 of the other table</p>)";

const char* const kHostilePage = R"(<html><head><title>Hostile</title>
      <link rel="stylesheet" href="local.css">
      <link rel="stylesheet" href="%1style.css">
      <link rel="preconnect" href="%1"><link rel="dns-prefetch" href="%1">
      <link rel="prefetch" href="%1prefetch"><link rel="preload" href="%1preload.js" as="script">
      <link rel="icon" href="%1favicon.ico">
      <style>@import url("%1import.css"); @font-face { font-family: f; src: url("%1font.woff"); }
        .bg { background: url("%1background.png"); font-family: f; }</style>
      <script src="%1script.js"></script>
      </head><body class="bg">
      <img id="local" src="pic.png"><img src="%1image.png" srcset="%1image2x.png 2x">
      <iframe src="%1frame.html"></iframe><frameset></frameset>
      <object data="%1object.swf"></object><embed src="%1embed.swf">
      <video src="%1video.webm" autoplay></video><audio src="%1audio.ogg" autoplay></audio>
      <input type="image" src="%1input.png">
      <a id="web" href="%1link" ping="%1ping">web</a>
      <form id="f" action="%1form" method="post"><input name="q" value="x">
        <input id="send" type="submit" value="Send"></form>
      <iframe src="ws://%2/socket"></iframe><iframe src="ftp://%2/file"></iframe>
      </body></html>)";

const char* const kOutsidePage = R"(<title>Page</title>
      <link rel="stylesheet" href="../outside/evil.css">
      <img id="up" src="../outside/pic.png"><img id="abs" src="file://%1">
      <img id="link" src="link.png"><iframe id="frame" src="../outside/frame.html"></iframe>
      <img id="sys" src="file:///etc/passwd">)";

const char* const kEntryPage = R"(<title>New best time</title>
      <form action="ACT_NEW_HIGHSCORE_ENTRY">
        <a id="close" href="ACT_CLOSE">not here</a> <a id="new" href="ACT_NEW_GAME">nor this</a>
        <input id="name" type="text" name="HIGHSCORE_ENTRY_NAME">
        <input id="ok" type="submit" value="OK"></form>)";

const char* const kPlayerMenuPage = R"(<html><head><title>Game menu</title></head><body>
<p><a id="close" href="ACT_CLOSE">Back to the game</a></p>
<p><a id="new" href="ACT_NEW_GAME">New game</a></p></body></html>)";

const char* const kPlayerIntroPage = R"(<html><head><title>Welcome</title></head><body>
<p>Welcome.</p><p><a id="new" href="ACT_NEW_GAME">Start</a></p></body></html>)";

const char* const kPlayerEntryPage = R"(<html><head><title>A new best time</title></head><body>
<form action="ACT_NEW_HIGHSCORE_ENTRY"><input id="name" type="text" name="HIGHSCORE_ENTRY_NAME">
<input id="ok" type="submit" value="Enter"></form></body></html>)";

const char* const kPlayerPicturesPage = R"(<html><head><title>Pictures</title></head><body>
<p><a id="play3" href="ACT_PLAY_3">The fourth picture</a></p>
<p><a id="playx" href="ACT_PLAY_x">No picture</a></p></body></html>)";

}  // namespace duduri::test
