// The WebGL 2 drawing of the browser build. Vertices are in normalised device coordinates and carry
// (s, t, q); the fragment shader divides by q per pixel, which is what fixed-function GL does with
// glTexCoord4f, so warped decals keep their perspective. Textures repeat, filter nearest and are
// modulated by the quad's tint, as on GL 1.x.
#include "renderer/webgl/renderer_webgl.h"

#include <GLES3/gl3.h>
#include <emscripten/html5.h>

#include "engine/decal.h"
#include "engine/layer_quad.h"
#include "engine/sprite.h"

namespace dral {

namespace {

constexpr float ChannelMax = 255.0f;

constexpr const char* VertexShader = R"(#version 300 es
in vec2 position;
in vec3 stq;
out vec3 texCoord;
void main() {
    texCoord = stq;
    gl_Position = vec4(position, 0.0, 1.0);
})";

constexpr const char* FragmentShader = R"(#version 300 es
precision highp float;
uniform sampler2D image;
uniform vec4 tint;
in vec3 texCoord;
out vec4 colour;
void main() {
    colour = texture(image, texCoord.xy / texCoord.z) * tint;
})";

GLuint CompileShader(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return shader;
    glDeleteShader(shader);
    return 0;
}

} // namespace

ResultCode Renderer_WebGL::CreateDevice(std::vector<void*> params, bool, bool) {
    if (params.empty() || !params[0]) return Fail;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // Like a desktop window: opaque, no depth, stencil or smoothing of edges.
    attributes.alpha = false;
    attributes.depth = false;
    attributes.stencil = false;
    attributes.antialias = false;
#ifdef __EMSCRIPTEN_PTHREADS__
    // The engine thread is a worker: it draws into an offscreen buffer through the page's context
    // and hands each finished frame over explicitly.
    attributes.proxyContextToMainThread = EMSCRIPTEN_WEBGL_CONTEXT_PROXY_ALWAYS;
    attributes.renderViaOffscreenBackBuffer = true;
    attributes.explicitSwapControl = true;
#endif
    context = emscripten_webgl_create_context(static_cast<const char*>(params[0]), &attributes);
    if (context <= 0) return Fail;
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !BuildPipeline()) {
        DestroyDevice();
        return Fail;
    }
    return Ok;
}

bool Renderer_WebGL::BuildPipeline() {
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, VertexShader);
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, FragmentShader);
    if (!vertex || !fragment) return false;
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "stq");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) return false;
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    tintLocation = glGetUniformLocation(program, "tint");

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(Vertex) * 4, nullptr, GL_STREAM_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, s)));
    // Sprite rows are packed tightly whatever their width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return true;
}

ResultCode Renderer_WebGL::DestroyDevice() {
    if (context <= 0) return Ok;
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(context);
    context = 0;
    return Ok;
}

void Renderer_WebGL::PresentFrame() {
    // On the page's thread the browser shows the canvas when the animation frame returns.
#ifdef __EMSCRIPTEN_PTHREADS__
    emscripten_webgl_commit_frame();
#endif
}

void Renderer_WebGL::BeginDrawing() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Renderer_WebGL::DrawQuad(const Vertex (&corners)[4], Pixel tint) {
    glUniform4f(tintLocation, static_cast<float>(tint.r) / ChannelMax,
                static_cast<float>(tint.g) / ChannelMax, static_cast<float>(tint.b) / ChannelMax,
                static_cast<float>(tint.a) / ChannelMax);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof corners, corners);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

void Renderer_WebGL::DrawLayerQuad(const Vec2f& offset, const Vec2f& scale, Pixel tint) {
    Vertex corners[4];
    int i = 0;
    for (const LayerQuadCorner& c : LayerQuadCorners(offset, scale))
        corners[i++] = {c.position.x, c.position.y, c.uv.x, c.uv.y, 1.0f};
    DrawQuad(corners, tint);
}

void Renderer_WebGL::DrawDecalQuad(const DecalDraw& decal) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(decal.decal->textureId));
    Vertex corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = {decal.position[i].x, decal.position[i].y, decal.uv[i].x, decal.uv[i].y,
                      decal.w[i]};
    DrawQuad(corners, decal.tint);
}

uint32_t Renderer_WebGL::CreateTexture(uint32_t, uint32_t) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // WebGL 2 repeats textures of any size, as GL 1.x does by default.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return id;
}

void Renderer_WebGL::UpdateTexture(uint32_t, Sprite* sprite) {
    if (!sprite) return;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, sprite->width, sprite->height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, sprite->pixels);
}

uint32_t Renderer_WebGL::DeleteTexture(uint32_t id) {
    // Textures went with the context; a decal that outlives the device must not reach GL.
    if (context <= 0) return id;
    const GLuint name = id;
    glDeleteTextures(1, &name);
    return id;
}

void Renderer_WebGL::BindTexture(uint32_t id) {
    glBindTexture(GL_TEXTURE_2D, id);
}

void Renderer_WebGL::SetViewport(const Vec2i& position, const Vec2i& size) {
    glViewport(position.x, position.y, size.x, size.y);
}

void Renderer_WebGL::ClearBuffer(Pixel p, bool) {
    // The drawing buffer has no depth, so there is nothing else to clear.
    glClearColor(static_cast<float>(p.r) / ChannelMax, static_cast<float>(p.g) / ChannelMax,
                 static_cast<float>(p.b) / ChannelMax, static_cast<float>(p.a) / ChannelMax);
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace dral
