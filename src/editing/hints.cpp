// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/hints.h"

namespace ombrix
{

std::string hintText(int index)
{
    switch (index) {
    case 0:
        return "Too large or too small aspect ratio may deteriorate the image quality.\r\n"
               "If you find flaws such as dots, scratches or gaps in the image, they\r\n"
               "can in most cases be removed by slightly resizing the screen.";
    case 1:
        return "The gradient text contour may be smoothed by clicking the Make Gradient\r\n"
               "Text button once again, typically when the desktop's font smoothing\r\n"
               "(anti-aliasing) is switched on.";
    default:
        return "";
    }
}

bool hintSwitchable(int index)
{
    return index == 0 || index == 1;
}

namespace
{

const char* const kStyle =
    "<style>h1{font-size:16pt} h2{font-size:12pt} td{padding:2px 8px}</style>";

const char* const kIndex = R"(
<h1>Ombrix help</h1>
<p>Ombrix designs gradient images and makes them your desktop wallpaper. An image is never kept as
pixels: it is drawn again from a handful of settings whenever it is shown.</p>
<h2>The main window</h2>
<ul>
<li><b>Patterns</b>: twelve patterns on two panels. The front panel holds Linear Gradient to
Background; click the arrow at its right edge (or drag the panel) to open it and reach Shaded Circle to
Clearcut Diamond behind it.</li>
<li><b>Colors</b>: the left or centre, middle and right or brim colours. Click a box to edit its colour in
the colour picker. A box whose colour the pattern does not use darkens the picker's palette.</li>
<li><b>Rainbow-color</b>: tick the box to draw the first part of the gradient with a rainbow; right-click
it to choose one of two rainbows and whether it runs inverted.</li>
<li><b>Mid color position</b>: where the middle colour sits, from one end to the other.</li>
<li><b>Repetition</b>: how often the pattern repeats across and down: the vertical slider's top is six
repetitions, its bottom one.</li>
<li><b>Slant/Origin/Preview</b>: the slant of a linear gradient, or the origin of the other patterns, and
the preview of one repetition. Click the preview to redraw it.</li>
</ul>
<h2>The toolbar</h2>
<table>
<tr><td>New</td><td>a new, plain black image of a size you choose (<a href="topic:9">Image size</a>).</td></tr>
<tr><td>Open</td><td>opens a parameter file (.obp). You can also drop one on a window, or start
<code>ombrix FILE.obp</code>.</td></tr>
<tr><td>Save</td><td>a menu: save the parameters as an .obp file, save the image as JPEG, BMP or PNG, and
set the <a href="topic:13">JPEG quality</a>.</td></tr>
<tr><td>Copy</td><td>puts the image, with its texts, on the clipboard for other programs.</td></tr>
<tr><td>Show</td><td>draws the image at full size in the image window and records the step for Undo.</td></tr>
<tr><td>Undo, Redo</td><td>walk up to twenty steps back and forth.</td></tr>
<tr><td>Resize</td><td>changes the image's size (<a href="topic:9">Image size</a>).</td></tr>
<tr><td>Borders</td><td>four borders at the image's edges, each with its width and colour
(<a href="topic:11">Borders</a>).</td></tr>
<tr><td>Text</td><td>text mode: click the image to add a text set, click a text to change it
(<a href="topic:10">Texts</a>).</td></tr>
<tr><td>Gradtxt</td><td>fills the texts with the image's gradient on a black ground.</td></tr>
<tr><td>Rotate</td><td>turns the pattern by 90 degrees (for the patterns that have a direction).</td></tr>
<tr><td>About</td><td>the program's name and version.</td></tr>
<tr><td>Help</td><td>this page.</td></tr>
<tr><td>Wallpaper</td><td>makes the image the desktop wallpaper: Tile, Center or Stretch; Restore puts back
the wallpaper the desktop had when Ombrix started.</td></tr>
</table>
<h2>The image window</h2>
<p>The image at its real size. Drag it by the picture to move it; drag its edges to resize it, and the
image is drawn again at the new size. Right-click it for the menu: resize it, hide the image window, or hide or show
the size label. Double-click to toggle the size label.</p>
<h2>The colour picker</h2>
<p>Always on top. Click a palette cell, or move the red, green and blue sliders; the preview follows at
once. Drag the picker by its background; click the swatch under the palette to fold the sliders away or
bring them back; the cross closes it (click a colour box to bring it back).</p>
<h2>Texts and borders</h2>
<p>Words and frames on the image: see <a href="topic:10">Texts</a> and <a href="topic:11">Borders</a>.</p>
<h2>Hints</h2>
<p>A hint appears when something you did may spoil the image, for example a very wide or very tall image
window. Tick "Do not show this massage any more." to switch it off for good.</p>
<h2>Files</h2>
<p>A parameter file (.obp) holds everything that defines the image, the image window's place and size
included, but no pixels: it is small and draws the same image again. A file that cannot be read is
named in a message and changes nothing. The image itself leaves Ombrix through "Save Image As..." and
Copy, always with its texts.</p>
<p>Topics: <a href="topic:9">Image size</a> &middot; <a href="topic:13">JPEG quality and saving the
image</a></p>
<h2>Leaving</h2>
<p>Closing the main window asks whether to save the image first; minimising it hides the other windows
until you restore it.</p>
)";

const char* const kSizeTopic = R"(
<h1>Image size</h1>
<p>The <b>New</b> button starts a new, plain black image; the <b>Resize</b> button keeps the image and
changes its size. Both open this dialog, and "Resize..." in the image window's menu opens it again for
whichever of the two you used last.</p>
<ul>
<li><b>Width</b> and <b>Height</b>: the size of the image in pixels. They are the screen's own pixels:
on a screen scaled by 2 an image window 960 pixels wide holds a 1920 pixels wide image.</li>
<li><b>Maintain aspect ratio of ... to 1</b>: tick it to keep width divided by height at the ratio you
enter (1.5 for 3:2, 1.7778 for 16:9). The field you type in drives the other: a width sets the height,
a height sets the width.</li>
</ul>
<p>OK checks the size: both fields must be filled; the image must be at least 50 pixels smaller than the
screen each way, so that its window fits; and each repetition of the pattern needs at least 12 pixels,
so three repetitions across need a width of 36. A size that does not pass is named in a message and
nothing changes (New has already cleared the image). Undo takes a new size back.</p>
<p><a href="topic:0">Back to the index</a></p>
)";
const char* const kTextTopic = R"(
<h1>Texts</h1>
<p>An image carries up to sixteen text sets. A set is one line of text shown three times: the main
text, a highlight copy and a shadow copy, each in its own colour, the copies moved diagonally by a few
pixels. Texts lie over the image as labels until the image is saved, copied, made the wallpaper or filled
with the gradient; only then do they become pixels, exactly as the labels show them.</p>
<h2>Adding and changing a set</h2>
<ul>
<li>Press <b>Text</b> on the toolbar (it stays pressed), then click the image where the text should go.
The <i>Text Properties</i> dialog opens. Click a text instead to change its set.</li>
<li><b>Enter text here</b>: the text of all three copies. <b>Name</b> and <b>Size</b> choose the font
(sizes 6 to 200); <b>B</b>, <b>I</b>, <b>U</b> and <b>S</b> switch bold, italic, underline and
strikethrough.</li>
<li><b>Color</b>: the colour picker edits the main text's colour while the dialog is open. Tick
<b>Change Color</b> under <i>Highlight</i> or <i>Shadow</i> to edit that copy's colour instead (the font
controls rest meanwhile, since the copies share the main text's font).</li>
<li><b>Separation</b>: how far the highlight or shadow lies from the main text, -10 to 10 pixels. With
both at 0 the copies take the main text's colour.</li>
<li><b>Alignment</b>: which point stays in place. A new text puts its left end, middle or right end at
the point you clicked; a changed text keeps that point when its size changes.</li>
<li>The <b>Preview</b> shows the set over the image's own pattern.</li>
<li><b>OK</b> stores the set, <b>Cancel</b> drops the changes and puts the colours back, <b>Remove</b>
deletes the set. After sixteen sets, remove one to add another.</li>
</ul>
<h2>Moving a set</h2>
<p>With <b>Text</b> raised, drag any copy of a text: the whole set follows. The arrow keys move the set
last touched by one pixel, two with Shift, five with Shift and Ctrl.</p>
<h2>Texts filled with the gradient</h2>
<p><b>Gradtxt</b> fills the texts with the image's gradient on a black ground: a black text shows the
gradient inside its letters, a white one the inverted gradient. Press it a second time to smooth the
letters' edges. Saving, copying and the wallpaper then take the filled picture as it is; <b>Show</b>
brings the plain image and its texts back.</p>
)";
const char* const kBordersTopic = R"(
<h1>Borders</h1>
<p>Each edge of the image can have a solid border with its own width and colour; neighbouring borders
meet on the diagonal of their corner.</p>
<ul>
<li>Press <b>Borders</b> on the toolbar (it is off while <b>Text</b> is pressed).</li>
<li>Type each width in pixels, 0 to 100, into <b>Top</b>, <b>Left</b>, <b>Bottom</b> and <b>Right</b>;
0 means no border.</li>
<li>Click <b>Color</b> beside a width, or click into the width itself, and choose the border's colour in
the colour picker.</li>
<li><b>OK</b> draws the borders over the image (and records the step for Undo); with every width 0 it
does nothing. <b>Close</b> closes the dialog and keeps the borders.</li>
</ul>
<p>A narrower border drawn over a wider one leaves the old outer lines until the image is drawn again
(Show, a resize, Undo or Redo). Borders are part of the image's settings: they are saved, undone and
redone with it.</p>
)";
const char* const kQualityTopic = R"(
<h1>JPEG quality</h1>
<p>"Set JPEG Image Quality..." in the Save menu sets how JPEG files are written, from 10 (<i>Low</i>:
small files, visible blocks and smeared edges) to 100 (<i>High</i>: the best picture, the largest file).
The frame above the slider shows the value as you move it; OK keeps it, also for the next time you start
Ombrix, and Cancel leaves it as it was.</p>
<p>Gradients show JPEG's flaws more than photographs do: for wallpaper, 90 or more is a good choice. PNG
and BMP files are always exact; PNG is usually the smaller of the two.</p>
<h2>Saving the image</h2>
<p>"Save Image As..." writes the image with its texts. The name's extension chooses the type
(.jpg or .jpeg, .bmp, .png, in any letter case); a name without one of them gets the extension of the
type chosen in the dialog. If the file cannot be written, a message says why and any earlier file of
that name is left as it was.</p>
<p><a href="topic:0">Back to the index</a></p>
)";

} // namespace

std::string helpPage(int context)
{
    const char* body = kIndex;
    switch (context) {
    case 9:
        body = kSizeTopic;
        break;
    case 10:
        body = kTextTopic;
        break;
    case 11:
        body = kBordersTopic;
        break;
    case 13:
        body = kQualityTopic;
        break;
    default:
        break;
    }
    return std::string("<html><head>") + kStyle + "</head><body>" + body + "</body></html>";
}

} // namespace ombrix
