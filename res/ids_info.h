#pragma once
// info page: control ids and own bitmaps.
