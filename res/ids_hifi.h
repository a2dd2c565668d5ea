#pragma once
// hifi page: control ids and own bitmaps.
