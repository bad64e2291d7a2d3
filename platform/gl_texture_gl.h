// The one way both programs set up a GL texture: a new name, bound on the active unit, with
// its sampling and edges set. What goes into it (size, format, pixels) stays with the caller.
// Needs a current GL context.
#pragma once

namespace platform {

enum class TextureShape { Flat, Line };  // GL_TEXTURE_2D or GL_TEXTURE_1D

enum class TextureSampling {
  Nearest,          // each texel as it is: pixels shown one to one or read at texel centres
  Linear,           // magnified and minified linearly
  LinearMipmapped,  // minified through mipmaps that follow every change of the picture
};

enum class TextureEdges { Repeat, Clamp };

// Creates the texture, leaves it bound and returns its name; the caller owns and deletes it.
unsigned int createTexture(TextureShape shape, TextureSampling sampling, TextureEdges edges);

}  // namespace platform
