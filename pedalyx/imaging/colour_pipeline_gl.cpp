#include "pedalyx/imaging/colour_pipeline_gl.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>

#include "pedalyx/imaging/calibration_grid.h"
#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/colour_table.h"
#include "platform/gl_texture_gl.h"

namespace {

// Texture unit of each pipeline texture (index 7 is unused).
constexpr int kTextureUnit[kPipelineTextureCount] = {2, 3, 4, 5, 7, 6, 1, -1, 0};

void bindOnUnitZero(const TextureHandle& texture) {
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture.get());
}

// The depth buffer stays attached from creation on; no pass tests depth, so it is never
// cleared either.
void attachTarget(ColourPipeline& pipeline, const TextureHandle& target) {
  glBindFramebuffer(GL_FRAMEBUFFER, pipeline.fbo.get());
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.get(), 0);
}

// One quad over (0, 0)..(width, height) with the whole texture on it.
void drawTexturedQuad(int width, int height) {
  glBegin(GL_QUADS);
  glTexCoord2f(1, 1);
  glVertex2i(width, height);
  glTexCoord2f(0, 1);
  glVertex2i(0, height);
  glTexCoord2f(0, 0);
  glVertex2i(0, 0);
  glTexCoord2f(1, 0);
  glVertex2i(width, 0);
  glEnd();
}

// The mesh goes to GL in one call from a vertex array rather than vertex by vertex.
void drawWarpMesh(const CalibrationGrid& grid, int x0) {
  static std::array<WarpVertex, kWarpVertexCount> vertices;
  const int count = warpMeshVertices(grid, x0, vertices);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(WarpVertex), &vertices[0].s);
  glVertexPointer(2, GL_INT, sizeof(WarpVertex), &vertices[0].x);
  glDrawArrays(GL_QUADS, 0, count);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

bool readShaderText(const std::string& path, std::string& text) {
  FILE* file = std::fopen(path.c_str(), "rt");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return true;
}

// The fragment text with SHADER_PASS defined right after its #version line, which must stay
// the first statement.
std::string withPassFixed(const std::string& text, int pass) {
  const std::string define = "#define SHADER_PASS " + std::to_string(pass) + "\n";
  const size_t version = text.find("#version");
  if (version == std::string::npos) return define + text;
  const size_t lineEnd = text.find('\n', version);
  if (lineEnd == std::string::npos) return text + "\n" + define;
  return text.substr(0, lineEnd + 1) + define + text.substr(lineEnd + 1);
}

// Compiles one shader from its text; prints its log and, on failure, a line naming the file.
bool compileShader(ShaderHandle& shader, GLenum kind, const std::string& text,
                   const std::string& path) {
  shader.reset(glCreateShader(kind));
  const char* source = text.c_str();
  glShaderSource(shader.get(), 1, &source, nullptr);
  glCompileShader(shader.get());
  GLint logLength = 0;
  glGetShaderiv(shader.get(), GL_INFO_LOG_LENGTH, &logLength);
  if (logLength > 0) {
    std::string log(logLength, '\0');
    glGetShaderInfoLog(shader.get(), logLength, nullptr, &log[0]);
    std::fprintf(stderr, "%s\n", log.c_str());
  }
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader.get(), GL_COMPILE_STATUS, &compiled);
  if (compiled != GL_TRUE)
    std::fprintf(stderr, "shader %s did not compile: the pressure picture stays empty\n",
                 path.c_str());
  return compiled == GL_TRUE;
}

bool linkProgram(ProgramHandle& program, const ShaderHandle& vertex, const ShaderHandle& fragment) {
  program.reset(glCreateProgram());
  glAttachShader(program.get(), vertex.get());
  glAttachShader(program.get(), fragment.get());
  glLinkProgram(program.get());
  GLint logLength = 0;
  glGetProgramiv(program.get(), GL_INFO_LOG_LENGTH, &logLength);
  if (logLength >= 1) {
    std::string log(logLength, '\0');
    glGetProgramInfoLog(program.get(), logLength, nullptr, &log[0]);
    std::fprintf(stderr, "%s\n", log.c_str());
  }
  GLint linked = GL_FALSE;
  glGetProgramiv(program.get(), GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE)
    std::fprintf(stderr, "shader program did not link: the pressure picture stays empty\n");
  return linked == GL_TRUE;
}

PipelineUniforms uniformsOf(GLuint program) {
  PipelineUniforms u;
  u.cvTexture_First = glGetUniformLocation(program, "cvTexture_First");
  u.cvTexture_RESULT_2 = glGetUniformLocation(program, "cvTexture_RESULT_2");
  u.cvTexture_RESULT = glGetUniformLocation(program, "cvTexture_RESULT");
  u.cvTexture3 = glGetUniformLocation(program, "cvTexture3");
  u.cvTexture2 = glGetUniformLocation(program, "cvTexture2");
  u.cvTexture = glGetUniformLocation(program, "cvTexture");
  u.cvOrigin = glGetUniformLocation(program, "cvOrigin");
  u.colorTable = glGetUniformLocation(program, "colorTable");
  u.SHADER_STATE = glGetUniformLocation(program, "SHADER_STATE");
  u.noise = glGetUniformLocation(program, "noise");
  u.gen = glGetUniformLocation(program, "gen");
  return u;
}

// Makes the pass's program current; false when the shaders did not build.
bool usePass(const ColourPipeline& pipeline, ShaderState pass) {
  if (!pipeline.program.usable) return false;
  glUseProgram(pipeline.program.passes[pass].get());
  return true;
}

std::string inFolder(const std::string& folder, const char* name) {
  return folder.empty() ? std::string(name) : folder + "/" + name;
}

}  // namespace

void buildShaderProgram(ShaderProgram& program, const std::string& shaderFolder) {
  std::printf("generating shader code. \n");
  const std::string vertexPath = inFolder(shaderFolder, "colorShader.vert");
  const std::string fragmentPath = inFolder(shaderFolder, "colorShader.frag");
  std::string vertexText, fragmentText;
  if (!readShaderText(vertexPath, vertexText))
    std::fprintf(stderr, "shader file %s cannot be read\n", vertexPath.c_str());
  if (!readShaderText(fragmentPath, fragmentText))
    std::fprintf(stderr, "shader file %s cannot be read\n", fragmentPath.c_str());
  bool usable = compileShader(program.vertexShader, GL_VERTEX_SHADER, vertexText, vertexPath);
  for (int pass = 0; pass < kShaderPassCount && usable; ++pass) {
    usable = compileShader(program.fragmentShaders[pass], GL_FRAGMENT_SHADER,
                           withPassFixed(fragmentText, pass), fragmentPath) &&
             linkProgram(program.passes[pass], program.vertexShader, program.fragmentShaders[pass]);
  }
  program.usable = usable;
}

void createRenderTarget(TextureHandle& texture, int unit, bool atTexelCentresOnly) {
  if (unit >= 0) glActiveTexture(GL_TEXTURE0 + unit);
  texture.reset(platform::createTexture(
      platform::TextureShape::Flat,
      atTexelCentresOnly ? platform::TextureSampling::Nearest : platform::TextureSampling::Linear,
      platform::TextureEdges::Clamp));
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kCanvasWidth, kCanvasHeight, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, nullptr);
}

void createPipelineObjects(ColourPipeline& pipeline, const unsigned char* blackFrame,
                           const unsigned char* colourTable, const std::string& shaderFolder) {
  // Camera texture: the frame's B G R bytes go in as R G B; the shader knows the swap.
  glActiveTexture(GL_TEXTURE0 + kTextureUnit[kCameraTexture]);
  pipeline.textures[kCameraTexture].reset(platform::createTexture(platform::TextureShape::Flat,
                                                                  platform::TextureSampling::Linear,
                                                                  platform::TextureEdges::Repeat));
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kCameraWidth, kCameraHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
               blackFrame);

  for (int index :
       {kLevelTexture, kCleanedTexture, kRingSlot2, kRingSlot1, kRingSlot0, kBackgroundTexture})
    createRenderTarget(pipeline.textures[index], kTextureUnit[index], index != kLevelTexture);

  glActiveTexture(GL_TEXTURE0);
  pipeline.textures[kColourTableTexture].reset(
      platform::createTexture(platform::TextureShape::Line, platform::TextureSampling::Nearest,
                              platform::TextureEdges::Clamp));
  glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, colourTable);

  buildShaderProgram(pipeline.program, shaderFolder);
  for (int pass = 0; pass < kShaderPassCount; ++pass)
    pipeline.uniforms[pass] = uniformsOf(pipeline.program.passes[pass].get());
}

void setPipelineUniforms(ColourPipeline& pipeline, const FilterValues& filters) {
  if (!pipeline.program.usable) return;
  // Each pass's program drops the uniforms it does not use; their locations are -1, which GL
  // ignores.
  for (int pass = 0; pass < kShaderPassCount; ++pass) {
    const PipelineUniforms& u = pipeline.uniforms[pass];
    glUseProgram(pipeline.program.passes[pass].get());
    glUniform1i(u.SHADER_STATE, pipeline.shaderState);
    glUniform1f(u.noise, filters.noise);
    glUniform1f(u.gen, filters.gen);
    glUniform1i(u.colorTable, 0);
    glUniform1i(u.cvOrigin, 1);
    glUniform1i(u.cvTexture, 2);
    glUniform1i(u.cvTexture2, 3);
    glUniform1i(u.cvTexture3, 4);
    glUniform1i(u.cvTexture_RESULT, 5);
    glUniform1i(u.cvTexture_First, 6);
    glUniform1i(u.cvTexture_RESULT_2, 7);
  }
  glUseProgram(0);
}

void createFramebuffer(ColourPipeline& pipeline) {
  // A re-initialised context gets fresh objects; the previous ones are deleted first.
  pipeline.fbo.reset();
  pipeline.depthBuffer.reset();
  GLuint name = 0;
  glGenFramebuffers(1, &name);
  pipeline.fbo.reset(name);
  glBindFramebuffer(GL_FRAMEBUFFER, name);
  glGenRenderbuffers(1, &name);
  pipeline.depthBuffer.reset(name);
  glBindRenderbuffer(GL_RENDERBUFFER, name);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, kCanvasWidth, kCanvasHeight);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                         pipeline.textures[kRingSlot0].get(), 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, name);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void warpPass(ColourPipeline& pipeline, const unsigned char* frame, const CalibrationGrid& left,
              const CalibrationGrid& right, bool toBackground, int ringIndex) {
  warpInto(pipeline, frame, left, right,
           toBackground ? pipeline.textures[kBackgroundTexture] : pipeline.textures[ringIndex]);
}

void warpInto(ColourPipeline& pipeline, const unsigned char* frame, const CalibrationGrid& left,
              const CalibrationGrid& right, const TextureHandle& target) {
  attachTarget(pipeline, target);
  glClearColor(0, 0, 1, 1);  // whatever the meshes leave uncovered stays pure blue
  glClear(GL_COLOR_BUFFER_BIT);
  glPushMatrix();
  glEnable(GL_TEXTURE_2D);
  bindOnUnitZero(pipeline.textures[kCameraTexture]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kCameraWidth, kCameraHeight, GL_RGB, GL_UNSIGNED_BYTE,
                  frame);
  glBindTexture(GL_TEXTURE_2D, 0);
  pipeline.shaderState = kWarpState;
  if (usePass(pipeline, kWarpState)) {
    drawWarpMesh(left, kLeftStripX);
    drawWarpMesh(right, kRightStripX);
    glUseProgram(0);
  }
  glDisable(GL_TEXTURE_2D);
  glPopMatrix();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void drawBlueMask() {
  static const int kRectangles[][4] = {{0, 10, 0, 335},    {310, 320, 0, 335}, {118, 202, 0, 335},
                                       {0, 320, 325, 335}, {0, 160, 0, 15},    {160, 320, 0, 15}};
  glColor3f(0, 0, 1);
  glBegin(GL_QUADS);
  for (const auto& r : kRectangles) {
    glVertex2i(r[0], r[2]);
    glVertex2i(r[1], r[2]);
    glVertex2i(r[1], r[3]);
    glVertex2i(r[0], r[3]);
  }
  glEnd();
  glColor3f(1, 1, 1);
}

void cleanPass(ColourPipeline& pipeline) {
  cleanInto(pipeline, pipeline.textures[kCleanedTexture]);
}

void cleanInto(ColourPipeline& pipeline, const TextureHandle& target) {
  attachTarget(pipeline, target);
  glEnable(GL_TEXTURE_2D);
  pipeline.shaderState = kCleanState;
  if (usePass(pipeline, kCleanState)) {
    drawTexturedQuad(kCanvasWidth, kCanvasHeight);
    glUseProgram(0);
  }
  glDisable(GL_TEXTURE_2D);
  drawBlueMask();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void levelPass(ColourPipeline& pipeline, const FilterValues& filters, unsigned char* levelImage) {
  levelInto(pipeline, filters, pipeline.textures[kLevelTexture], levelImage);
}

void levelInto(ColourPipeline& pipeline, const FilterValues& filters, const TextureHandle& target,
               unsigned char* levelImage) {
  attachTarget(pipeline, target);
  glColor3f(1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  pipeline.shaderState = kLevelState;
  setPipelineUniforms(pipeline, filters);
  if (usePass(pipeline, kLevelState)) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawTexturedQuad(kCanvasWidth, kCanvasHeight);
    glUseProgram(0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kCanvasWidth, kCanvasHeight, GL_GREEN, GL_UNSIGNED_BYTE, levelImage);
  } else {
    std::memset(levelImage, 0, kCanvasPixels);
  }
  glDisable(GL_TEXTURE_2D);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void colourPass(ColourPipeline& pipeline, const FilterValues& filters, int width, int height) {
  glColor3f(1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  pipeline.shaderState = kColourState;
  setPipelineUniforms(pipeline, filters);
  if (usePass(pipeline, kColourState)) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawTexturedQuad(width, height);
    glUseProgram(0);
  }
  glDisable(GL_TEXTURE_2D);
}
