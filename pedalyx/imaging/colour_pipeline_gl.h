// The GPU pipeline that turns one camera frame into the pressure canvas: the warp pass
// rectifies both foot areas through their calibration meshes, the clean pass removes the
// background and sensor noise from the last three frames, the blue mask hides the margins,
// the level pass writes one level byte per pixel and the colour pass shows levels through the
// colour table. The shader files hold all four passes, selected by SHADER_STATE; they are
// compiled once per pass with the pass fixed, because a software renderer runs every branch
// and every texture fetch of a shader whose pass is chosen at run time.
// Every function here needs the owning view's GL context current.
#pragma once
#include <string>

#include "pedalyx/imaging/gl_handles.h"

struct CalibrationGrid;

// Pass selector values of SHADER_STATE.
enum ShaderState { kColourState = 0, kCleanState = 1, kLevelState = 2, kWarpState = 3 };
constexpr int kShaderPassCount = 4;

// Positions in ColourPipeline::textures.
enum PipelineTexture {
  kRingSlot0 = 0,
  kRingSlot1 = 1,
  kRingSlot2 = 2,
  kCleanedTexture = 3,
  kLevelTexture = 4,
  kCameraTexture = 5,
  kBackgroundTexture = 6,
  kColourTableTexture = 8,
  kPipelineTextureCount = 9
};

// The shader files linked once per pass; passes[s] is the program of SHADER_STATE s.
struct ShaderProgram {
  ShaderHandle vertexShader;
  ShaderHandle fragmentShaders[kShaderPassCount];
  ProgramHandle passes[kShaderPassCount];
  bool usable = false;  // every shader compiled and every program linked
};

// Uniform locations, looked up once after linking (-1 when the program lacks one).
struct PipelineUniforms {
  int cvTexture_First = -1;
  int cvTexture_RESULT_2 = -1;
  int cvTexture_RESULT = -1;
  int cvTexture3 = -1;
  int cvTexture2 = -1;
  int cvTexture = -1;
  int cvOrigin = -1;
  int colorTable = -1;
  int SHADER_STATE = -1;
  int noise = -1;
  int gen = -1;
};

// The operator's two image settings as sent to the shader.
struct FilterValues {
  float noise = 5.0f;  // threshold in camera units below which a difference is no load
  float gen = 6.0f;    // gain from difference to level
};

struct ColourPipeline {
  FramebufferHandle fbo;
  RenderbufferHandle depthBuffer;
  TextureHandle textures[kPipelineTextureCount];
  ShaderProgram program;
  PipelineUniforms uniforms[kShaderPassCount];  // of each pass's program
  int shaderState = 0;                          // value last sent in SHADER_STATE
};

// Creates the camera texture (initial content blackFrame, 640 x 480 x 3), the six render
// targets, the colour-table texture from colourTable (768 bytes) and the shader program read
// from shaderFolder/"colorShader.vert" and ".frag". A program that fails to compile or link
// is reported on stdout; the pipeline then still runs and draws nothing useful.
void createPipelineObjects(ColourPipeline& pipeline, const unsigned char* blackFrame,
                           const unsigned char* colourTable, const std::string& shaderFolder);

// Reads the two shader files and builds one program per pass; logs and clear failure lines on
// stdout.
void buildShaderProgram(ShaderProgram& program, const std::string& shaderFolder);

// A 320 x 335 RGBA8 render-target texture without mipmaps, bound on the given unit (or on the
// active unit when unit < 0). Every pass reads its sources at texel centres, never minified;
// atTexelCentresOnly picks nearest sampling, which there gives the same bytes as linear
// sampling for less work. The level texture is magnified onto the view and stays linear.
void createRenderTarget(TextureHandle& texture, int unit, bool atTexelCentresOnly = false);

// Sends SHADER_STATE, noise, gen and the eight sampler units to every pass's program; leaves no
// program active.
void setPipelineUniforms(ColourPipeline& pipeline, const FilterValues& filters);

// (Re)creates the framebuffer and its 320 x 335 depth buffer, deleting the previous ones.
void createFramebuffer(ColourPipeline& pipeline);

// Warps frame (640 x 480 B G R, top row first) through both grids into the background texture
// when toBackground is set, else into ring slot ringIndex.
void warpPass(ColourPipeline& pipeline, const unsigned char* frame, const CalibrationGrid& left,
              const CalibrationGrid& right, bool toBackground, int ringIndex);
// Ring frames and background into the cleaned texture, then the blue mask over it.
void cleanPass(ColourPipeline& pipeline);
// Opaque blue over the margins and the band between the feet (canvas coordinates).
void drawBlueMask();
// Levels into the level texture and read back as the green channel into levelImage (320 x 335).
void levelPass(ColourPipeline& pipeline, const FilterValues& filters, unsigned char* levelImage);
// The warp, clean and level passes with their targets given: the live cycle above uses the
// pipeline's own textures, the levels of one frame by itself its own (frame_levels_gl.h). The
// clean pass reads what is bound on the ring's units 2..4, the level pass the cleaned image on
// unit 5.
void warpInto(ColourPipeline& pipeline, const unsigned char* frame, const CalibrationGrid& left,
              const CalibrationGrid& right, const TextureHandle& target);
void cleanInto(ColourPipeline& pipeline, const TextureHandle& target);
void levelInto(ColourPipeline& pipeline, const FilterValues& filters, const TextureHandle& target,
               unsigned char* levelImage);
// Levels shown through the colour table on a width x height quad of the current framebuffer.
void colourPass(ColourPipeline& pipeline, const FilterValues& filters, int width, int height);
