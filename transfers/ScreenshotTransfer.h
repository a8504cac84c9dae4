#pragma once

class ScreenCanvas;
class Ti92Link;
class TransferView;

// "&Grab!": asks the calculator for its display and draws it on the canvas
// row by row, letting pending events run after every row. On success the
// report line is "A screenshot was grabbed."; on a failure (no
// acknowledgement, time-out, abort, a checksum that does not match) the
// error dialog names it, the part received so far stays on the canvas and
// the report line is the error line. The automatic Next follows in every
// case. True when the picture arrived whole.
bool GrabScreenshot(Ti92Link& link, TransferView& view, ScreenCanvas& canvas);
