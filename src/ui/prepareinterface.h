#pragma once

/// Makes ready what the main window's first frame needs and is slow to make the first time:
/// the font machinery (the font configuration, a line of text shaped in the normal and the
/// bold font) and the pictures every task row shares. Called while the database loads.
void prepareInterface();
