#include "help/hints.h"

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
               "Text button once again, typically when you chose Smooth Font Contour\r\n"
               "option under Windows 95 with Plus! or Windows 98.";
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
<tr><td>Rotate</td><td>turns the pattern by 90 degrees (for the patterns that have a direction).</td></tr>
<tr><td>About</td><td>the program's name and version.</td></tr>
<tr><td>Help</td><td>this page.</td></tr>
<tr><td>Wallpaper</td><td>makes the image the desktop wallpaper: Tile, Center or Stretch; Restore puts back
the wallpaper the desktop had when Ombrix started.</td></tr>
</table>
<p>Borders, Text and Gradtxt are greyed out in this version: they arrive with texts and borders.</p>
<h2>The image window</h2>
<p>The image at its real size. Drag it by the picture to move it; drag its edges to resize it, and the
image is drawn again at the new size. Right-click it for the menu: resize it, hide the image window, or hide or show
the size label. Double-click to toggle the size label.</p>
<h2>The colour picker</h2>
<p>Always on top. Click a palette cell, or move the red, green and blue sliders; the preview follows at
once. Drag the picker by its background; click the swatch under the palette to fold the sliders away or
bring them back; the cross closes it (click a colour box to bring it back).</p>
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
const char* const kTextTopic =
    "<h1>Texts</h1><p>Up to sixteen text sets, each with a highlight and a shadow copy.</p>";
const char* const kBordersTopic =
    "<h1>Borders</h1><p>Four borders, one per edge, each with its own width and colour.</p>";
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
