#pragma once
// digital page: control ids and own bitmaps.
