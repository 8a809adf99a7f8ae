// Building and caching the generated programs (see ff_program_cache.h).
#include "platform/d3d9/gl/ff_program_cache.h"

#include "platform/d3d9/gl/ff_glsl.h"

#include <cstdio>
#include <string>
#include <vector>

namespace d3dgl {

namespace {

GLuint compile(GLenum stage, const std::string& source)
{
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
        glGetShaderInfoLog(shader, length, nullptr, log.data());
        std::fprintf(stderr, "fixed-function shader failed to compile:\n%s\n%s\n", log.data(), source.c_str());
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint link(const FfShaderSources& sources)
{
    GLuint stages[3] = {compile(GL_VERTEX_SHADER, sources.vertex), 0, compile(GL_FRAGMENT_SHADER, sources.fragment)};
    if (!sources.geometry.empty()) stages[1] = compile(GL_GEOMETRY_SHADER, sources.geometry);
    const bool compiled = stages[0] && stages[2] && (sources.geometry.empty() || stages[1]);
    GLuint program = 0;
    if (compiled) {
        program = glCreateProgram();
        for (GLuint shader : stages)
            if (shader) glAttachShader(program, shader);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            char log[2048] = {};
            glGetProgramInfoLog(program, sizeof log, nullptr, log);
            std::fprintf(stderr, "fixed-function program failed to link:\n%s\n", log);
            glDeleteProgram(program);
            program = 0;
        }
    }
    for (GLuint shader : stages)
        if (shader) glDeleteShader(shader);
    return program;
}

} // namespace

FfProgramCache::~FfProgramCache()
{
    for (auto& entry : programs_)
        if (entry.second->name) glDeleteProgram(entry.second->name);
}

FfProgram& FfProgramCache::program(const FfKey& key)
{
    auto found = programs_.find(key);
    if (found != programs_.end()) return *found->second;
    auto program = std::make_unique<FfProgram>();
    program->name = link(generateFfShaders(key));
    if (program->name) {
        // Arrays the compiler found unused report -1 and are skipped.
        for (int i = 0; i < kUniformArrays; ++i)
            program->locations[i] = glGetUniformLocation(program->name, kUniformArrayNames[i]);
    }
    return *programs_.emplace(key, std::move(program)).first->second;
}

} // namespace d3dgl
