#pragma once
// hp page: control ids and own bitmaps.
