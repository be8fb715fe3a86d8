// Registers the frame's and the status screen's pictures (":/Qorvex/...")
// once; they live in a static library, where nothing else would.
#pragma once

void InitQorvexPictures();
