#pragma once
// The image operations of the skinned screens: load a picture file, cut a piece, copy one onto a device
// context, and turn a mask into a window region. Nothing is ever scaled.
#include <windows.h>

#include <string>

#include "base/unique_handle.h"

// Loads the picture file at `path` (BMP, JPEG or GIF; read with one ReadFile and decoded from memory by
// OleLoadPicture) into `bitmap` and reports its size. The bitmap is the caller's own copy: it does not depend
// on the picture object. A missing, empty or undecodable file, or a picture that is no bitmap, leaves
// `bitmap` empty and `size` 0 x 0 and returns false. So does a picture larger than the virtual screen or
// than kMaxSkinPictureSide a side, refused from its header before it is decoded where the header tells;
// `refusal`, when given, then says why.
bool LoadPicture(const std::string& path, base::Bitmap& bitmap, SIZE& size, std::string* refusal = nullptr);

// Width and height of a bitmap; 0 x 0 for a null handle.
SIZE BitmapSize(HBITMAP bitmap);

// Makes `target` a new bitmap compatible with `referenceDc` holding the source's pixels of the rectangle.
// Parts of the rectangle beyond the source's edges are black; the result always has the requested size.
// A null source, or an empty rectangle, leaves `target` as it is.
void CropBitmap(HDC referenceDc, base::Bitmap& target, HBITMAP source, int left, int top, int right,
                int bottom);

// Copies the bitmap's top left (right - left) x (bottom - top) pixels to that rectangle of `dc`; a bitmap
// smaller than the rectangle fills only its own part. Draws nothing for a null bitmap.
void DrawBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom);

// The region of every pixel of `bitmap` that is not transparent. A pixel is transparent when each of its
// red, green and blue components lies between the key's component and the key's component plus the
// tolerance's (capped at 255). Built from one rectangle per horizontal run of opaque pixels, at most 2000
// rectangles per ExtCreateRegion, batches joined with RGN_OR. Empty handle when no region can be made.
base::Region BitmapToRegion(HBITMAP bitmap, COLORREF key, COLORREF tolerance);
