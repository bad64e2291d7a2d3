// Move-only owners of GL object names. Each releases its object when it goes or is reset; the
// owning view makes its context current before its handles are released.
#pragma once
#include <utility>

enum class GlObjectKind { Texture, Framebuffer, Renderbuffer, Shader, Program };

template <GlObjectKind Kind>
class GlHandle {
 public:
  GlHandle() = default;
  explicit GlHandle(unsigned int name) : name_(name) {}
  GlHandle(const GlHandle&) = delete;
  GlHandle& operator=(const GlHandle&) = delete;
  GlHandle(GlHandle&& other) noexcept : name_(std::exchange(other.name_, 0u)) {}
  GlHandle& operator=(GlHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.name_, 0u));
    return *this;
  }
  ~GlHandle() { reset(); }

  unsigned int get() const { return name_; }
  explicit operator bool() const { return name_ != 0; }
  // Deletes the current object (if any) and takes ownership of name.
  void reset(unsigned int name = 0);
  // Forgets the object without deleting it (its context is already gone).
  void release() { name_ = 0; }

 private:
  unsigned int name_ = 0;
};

using TextureHandle = GlHandle<GlObjectKind::Texture>;
using FramebufferHandle = GlHandle<GlObjectKind::Framebuffer>;
using RenderbufferHandle = GlHandle<GlObjectKind::Renderbuffer>;
using ShaderHandle = GlHandle<GlObjectKind::Shader>;
using ProgramHandle = GlHandle<GlObjectKind::Program>;

template <>
void GlHandle<GlObjectKind::Texture>::reset(unsigned int name);
template <>
void GlHandle<GlObjectKind::Framebuffer>::reset(unsigned int name);
template <>
void GlHandle<GlObjectKind::Renderbuffer>::reset(unsigned int name);
template <>
void GlHandle<GlObjectKind::Shader>::reset(unsigned int name);
template <>
void GlHandle<GlObjectKind::Program>::reset(unsigned int name);

// Creates a texture into `texture` and leaves it bound with linear filtering and repeating
// edges: how every view shows a picture.
void createPictureTexture(TextureHandle& texture);
// Creates an empty width x height RGBA render target into `texture` and leaves it bound; its
// mipmaps are regenerated whenever it is drawn into.
void createMipmappedTarget(TextureHandle& texture, int width, int height);
