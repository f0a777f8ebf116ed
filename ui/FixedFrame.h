// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// Tells an X window manager that the window can be moved, minimised and
// closed, but neither resized nor maximised, so that none draws a maximise
// button or a resize handle. The toolkit itself always offers resizing in
// these hints. Does nothing off X.
void OfferNoResize(QWidget* window);
