// The named colours of the foundation library (red, green, blue; alpha always 255).
#ifndef LIB_COLORS_H
#define LIB_COLORS_H

#include <GraphicsDefs.h>

constexpr rgb_color black_color = { 0, 0, 0, 255 };
constexpr rgb_color red_color = { 255, 0, 0, 255 };
constexpr rgb_color green_color = { 0, 255, 0, 255 };
constexpr rgb_color blue_color = { 0, 0, 255, 255 };
constexpr rgb_color dark_green_color = { 97, 130, 109, 255 };
constexpr rgb_color light_green_color = { 10, 255, 10, 255 };
constexpr rgb_color light_blue_color = { 215, 230, 255, 255 };
constexpr rgb_color medium_blue_color = { 140, 179, 240, 255 };
constexpr rgb_color dark_blue_color = { 77, 113, 191, 255 };
constexpr rgb_color dark_grey_color = { 128, 128, 128, 255 };
constexpr rgb_color grey160_color = { 160, 160, 160, 255 };
constexpr rgb_color shadow_color = { 152, 152, 152, 255 };
constexpr rgb_color dark_shadow_color = { 108, 108, 108, 255 };
constexpr rgb_color light_shadow_color = { 194, 194, 194, 255 };
constexpr rgb_color grey_color = { 216, 216, 216, 255 };
constexpr rgb_color light_grey_color = { 242, 242, 242, 255 };
constexpr rgb_color white_color = { 255, 255, 255, 255 };
constexpr rgb_color pale_yellow_color = { 255, 255, 203, 255 };

#endif // LIB_COLORS_H
