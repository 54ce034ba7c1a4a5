// Image loading: file bytes from a resource, the skin (folder or zip) or a plain file, decoded and
// turned into a premultiplied top-down 32-bit DIB section once, so that every later draw is a single
// blit.

#include <objidl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include <gdiplus.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ASSERT(x) ((void)0)
#include <stb/stb_image.h>

#include "common/base/com_ptr.h"
#include "vellum/core/image/image_decoder.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/paint_pass.h"
#include "vellum/core/image/plain_png_decoder.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/resources/resource_location.h"
#include "vellum/core/resources/resource_store.h"

namespace Vellum {

namespace {

// Skin images are small; a declared size beyond this is a damaged or hostile file.
constexpr size_t kMaxImageFileBytes = 64u * 1024 * 1024;

bool ReadImageResource(const wchar_t* name, const wchar_t* type, HINSTANCE instance,
                       std::vector<BYTE>* bytes) {
  HMODULE module = instance ? instance : CPaintManagerUI::GetResourceModule();
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || size == 0 || size > kMaxImageFileBytes) return false;
  try {
    bytes->assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Step by step: a typed resource, else the skin (resource folder or zip), else the name as a plain
// file path. A numeric resource id has no file to fall back on.
bool ReadImageBytes(const wchar_t* name, const wchar_t* type, HINSTANCE instance,
                    std::vector<BYTE>* bytes) {
  if (!name) return false;
  if (type && *type) {
    if (ReadImageResource(name, type, instance, bytes)) return true;
    if (IS_INTRESOURCE(name)) return false;
  } else {
    if (IS_INTRESOURCE(name)) return false;
    if (ReadResourceFile(name, kMaxImageFileBytes, bytes) == ResourceReadResult::kOk) return true;
  }
  return ReadWholeFile(name, kMaxImageFileBytes, bytes) == ResourceReadResult::kOk;
}

// Decodes the bytes into a premultiplied DIB section; fills the bitmap, size and alpha fields.
bool DecodeToBitmap(const std::vector<BYTE>& bytes, DWORD mask, TUIImageInfo* image) {
  DecodedImage decoded;
  if (!DecodeImage(bytes.data(), bytes.size(), &decoded)) return false;
  BYTE* bits = nullptr;
  HBITMAP bitmap = CRenderUI::Create32BitDib(nullptr, decoded.width, -decoded.height, &bits);
  if (!bitmap) return false;
  bool has_alpha = false;
  const size_t count = static_cast<size_t>(decoded.width) * static_cast<size_t>(decoded.height);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t in = decoded.argb[i];
    BYTE* out = bits + i * 4;
    const BYTE alpha = static_cast<BYTE>(in >> 24);
    const BYTE red = static_cast<BYTE>(in >> 16), green = static_cast<BYTE>(in >> 8), blue = static_cast<BYTE>(in);
    out[3] = alpha;
    if (alpha == 255) {
      out[0] = blue;
      out[1] = green;
      out[2] = red;
    } else {
      out[0] = static_cast<BYTE>(alpha * blue / 255);
      out[1] = static_cast<BYTE>(alpha * green / 255);
      out[2] = static_cast<BYTE>(alpha * red / 255);
      has_alpha = true;
    }
    DWORD value;
    std::memcpy(&value, out, 4);
    if (value == mask) {
      std::memset(out, 0, 4);
      has_alpha = true;
    }
  }
  image->bitmap = bitmap;
  image->width = decoded.width;
  image->height = decoded.height;
  image->has_alpha = has_alpha;
  return true;
}

Gdiplus::Image* DecodeWithGdiplus(const std::vector<BYTE>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes.size());
  if (!block) return nullptr;
  std::memcpy(reinterpret_cast<void*>(block), bytes.data(), bytes.size());
  com_ptr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.put()))) {
    GlobalFree(block);
    return nullptr;
  }
  // GDI+ allocation: null on failure. The image keeps its own reference to the stream while it needs
  // the bytes.
  Gdiplus::Image* image = new Gdiplus::Image(stream.get());
  if (image && image->GetLastStatus() != Gdiplus::Ok) {
    delete image;
    image = nullptr;
  }
  return image;
}

TUIImageInfo* Load(const wchar_t* name, const wchar_t* type, DWORD mask, HINSTANCE instance,
                   bool with_gdiplus) {
  std::vector<BYTE> bytes;
  if (!ReadImageBytes(name, type, instance, &bytes)) return nullptr;
  TUIImageInfo* image = new (std::nothrow) TUIImageInfo;
  if (!image) return nullptr;
  const bool have_bitmap = DecodeToBitmap(bytes, mask, image);
  if (with_gdiplus) image->gdiplus_image = DecodeWithGdiplus(bytes);
  if (!have_bitmap && !image->gdiplus_image) {
    delete image;
    return nullptr;
  }
  return image;
}

const wchar_t* ResolveImageName(const wchar_t* name, const wchar_t* type) {
  // An empty type means no type here as in the byte lookup, so such names are mapped too.
  if ((type && *type) || !name || IS_INTRESOURCE(name)) return name;
  const wchar_t* mapped = CResourceStore::GetInstance()->GetImagePath(name);
  return mapped ? mapped : name;
}

}  // namespace

// Here rather than in a file of its own: the decoder is compiled into this one translation unit.
void DecodedPixelsDeleter::operator()(uint32_t* pixels) const { stbi_image_free(pixels); }

bool DecodeImage(const void* bytes, size_t size, DecodedImage* image) {
  *image = DecodedImage();
  if (!bytes || size == 0 || size > kMaxImageFileBytes) return false;
  if (DecodePlainPng(bytes, size, image)) return true;
  int width = 0, height = 0, channels = 0;
  stbi_uc* rgba = stbi_load_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &width,
                                        &height, &channels, 4);
  if (!rgba) return false;
  // Red and blue swap places in the decoder's buffer: R, G, B, A bytes become the word 0xAARRGGBB.
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (stbi_uc* pixel = rgba; pixel != rgba + count * 4; pixel += 4) std::swap(pixel[0], pixel[2]);
  image->argb.reset(reinterpret_cast<uint32_t*>(rgba));
  image->width = width;
  image->height = height;
  image->file_channels = channels;
  return true;
}

TUIImageInfo* CRenderUI::LoadImage(const wchar_t* name, const wchar_t* type, DWORD mask,
                                   HINSTANCE instance) {
  return Load(ResolveImageName(name, type), type, mask, instance, false);
}

TUIImageInfo* CRenderUI::LoadImage(UINT id, const wchar_t* type, DWORD mask, HINSTANCE instance) {
  return Load(MAKEINTRESOURCEW(id), type, mask, instance, false);
}

TUIImageInfo* CRenderUI::LoadImageGdiplus(const wchar_t* name, const wchar_t* type, DWORD mask,
                                          HINSTANCE instance) {
  return Load(ResolveImageName(name, type), type, mask, instance, true);
}

void CRenderUI::FreeImage(TUIImageInfo* image, bool delete_record) {
  if (!image) return;
  delete image->gdiplus_image;
  image->gdiplus_image = nullptr;
  if (image->bitmap) {
    CPaintPassUI::ReleaseBitmap(image->bitmap);
    DeleteObject(image->bitmap);
  }
  image->bitmap = nullptr;
  std::free(image->bits);
  image->bits = nullptr;
  std::free(image->hsl_bits);
  image->hsl_bits = nullptr;
  if (delete_record) delete image;
}

}  // namespace Vellum
