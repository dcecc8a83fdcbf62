#include "engine/core/CCGLProgram.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "engine/core/CCDirector.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

// Declares the built-in uniforms in front of every shader source.
constexpr const char* kUniformHeader =
    "uniform mat4 CC_PMatrix;\n"
    "uniform mat4 CC_MVMatrix;\n"
    "uniform mat4 CC_MVPMatrix;\n"
    "uniform vec4 CC_Time;\n"
    "uniform vec4 CC_SinTime;\n"
    "uniform vec4 CC_CosTime;\n"
    "uniform vec4 CC_Random01;\n"
    "//CC INCLUDES END\n"
    "\n";

constexpr const char* kBuiltinUniformNames[kCCUniform_MAX] = {
    kCCUniformPMatrix_s,  kCCUniformMVMatrix_s, kCCUniformMVPMatrix_s, kCCUniformTime_s,
    kCCUniformSinTime_s,  kCCUniformCosTime_s,  kCCUniformRandom01_s,  kCCUniformSampler_s,
};

// Locations from here on are uploaded every time instead of being recorded: GL hands out small
// numbers, and a record indexed by a wild location would be huge.
constexpr GLint kMaxRecordedLocation = 65536;

// 2^-31: random() scaled to [0, 1).
constexpr double kRandomScale = 4.656613e-10;

std::optional<std::string> readTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return std::nullopt;
    return text;
}

// GL info logs end in a newline; a logged line does not.
std::string trimmedLog(std::string log) {
    while (!log.empty() && (log.back() == '\n' || log.back() == '\0')) log.pop_back();
    return log;
}

}  // namespace

CCGLProgram::~CCGLProgram() {
    deleteShaders();
    if (program_) ccGLDeleteProgram(program_);
}

bool CCGLProgram::initWithVertexShaderByteArray(const GLchar* vShaderByteArray, const GLchar* fShaderByteArray) {
    program_ = glCreateProgram();
    vertShader_ = fragShader_ = 0;
    if (vShaderByteArray && !compileShader(&vertShader_, GL_VERTEX_SHADER, vShaderByteArray)) {
        logLine("Lumora: ERROR: Failed to compile vertex shader: %s", trimmedLog(vertexShaderLog()).c_str());
        deleteShaders();
        return false;
    }
    if (fShaderByteArray && !compileShader(&fragShader_, GL_FRAGMENT_SHADER, fShaderByteArray)) {
        logLine("Lumora: ERROR: Failed to compile fragment shader: %s", trimmedLog(fragmentShaderLog()).c_str());
        deleteShaders();
        return false;
    }
    if (vertShader_) glAttachShader(program_, vertShader_);
    if (fragShader_) glAttachShader(program_, fragShader_);
    uniformCache_.clear();
    return true;
}

bool CCGLProgram::initWithVertexShaderFilename(const std::string& vShaderFilename,
                                               const std::string& fShaderFilename) {
    CCFileUtils* fileUtils = CCFileUtils::sharedFileUtils();
    const std::string vertexPath = fileUtils->fullPathFromRelativePath(vShaderFilename);
    const std::string fragmentPath = fileUtils->fullPathFromRelativePath(fShaderFilename);
    const std::optional<std::string> vertexSource = readTextFile(vertexPath);
    if (!vertexSource) {
        logLine("Lumora: ERROR: cannot read the vertex shader %s", vertexPath.c_str());
        return false;
    }
    const std::optional<std::string> fragmentSource = readTextFile(fragmentPath);
    if (!fragmentSource) {
        logLine("Lumora: ERROR: cannot read the fragment shader %s", fragmentPath.c_str());
        return false;
    }
    return initWithVertexShaderByteArray(vertexSource->c_str(), fragmentSource->c_str());
}

bool CCGLProgram::compileShader(GLuint* shader, GLenum type, const GLchar* source) {
    if (!source) return false;
    const GLchar* sources[] = {kUniformHeader, source};
    *shader = glCreateShader(type);
    glShaderSource(*shader, 2, sources, nullptr);
    glCompileShader(*shader);
    GLint status = 0;
    glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
    return status == GL_TRUE;
}

void CCGLProgram::deleteShaders() {
    if (vertShader_) glDeleteShader(vertShader_);
    if (fragShader_) glDeleteShader(fragShader_);
    vertShader_ = fragShader_ = 0;
}

void CCGLProgram::addAttribute(const std::string& attributeName, GLuint index) {
    glBindAttribLocation(program_, index, attributeName.c_str());
}

bool CCGLProgram::link() {
    glLinkProgram(program_);
    deleteShaders();
    GLint status = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        logLine("Lumora: ERROR: Failed to link program %u: %s", program_, trimmedLog(programLog()).c_str());
        return false;
    }
    return true;
}

void CCGLProgram::updateUniforms() {
    for (int i = 0; i < kCCUniform_MAX; ++i) uniforms_[i] = glGetUniformLocation(program_, kBuiltinUniformNames[i]);
    usesTime_ = uniforms_[kCCUniformTime] != -1 || uniforms_[kCCUniformSinTime] != -1 ||
                uniforms_[kCCUniformCosTime] != -1;
    use();
    setUniformLocationWithI1(uniforms_[kCCUniformSampler], 0);
}

void CCGLProgram::use() { ccGLUseProgram(program_); }

GLint CCGLProgram::uniformLocation(const char* name) const { return glGetUniformLocation(program_, name); }

// MARK: uniforms

bool CCGLProgram::updateUniformLocation(GLint location, const void* data, uint64_t sizeOfData) {
    if (location < 0) return false;
    if (location >= kMaxRecordedLocation) return true;
    if (static_cast<size_t>(location) >= uniformCache_.size()) uniformCache_.resize(location + 1);
    UniformValue& value = uniformCache_[location];
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (value.stored && value.bytes.size() == sizeOfData && std::memcmp(value.bytes.data(), bytes, sizeOfData) == 0) {
        return false;
    }
    // Same size: overwritten in place, no allocation.
    value.bytes.assign(bytes, bytes + sizeOfData);
    value.stored = true;
    return true;
}

void CCGLProgram::setUniformLocationWithI1(GLint location, GLint i1) {
    if (updateUniformLocation(location, &i1, sizeof(i1))) glUniform1i(location, i1);
}

void CCGLProgram::setUniformLocationWithF1(GLint location, GLfloat f1) {
    if (updateUniformLocation(location, &f1, sizeof(f1))) glUniform1f(location, f1);
}

void CCGLProgram::setUniformLocationWithF1(GLint location, GLfloat f1, GLfloat f2) {
    const GLfloat floats[] = {f1, f2};
    if (updateUniformLocation(location, floats, sizeof(floats))) glUniform2f(location, f1, f2);
}

void CCGLProgram::setUniformLocationWithF1(GLint location, GLfloat f1, GLfloat f2, GLfloat f3) {
    const GLfloat floats[] = {f1, f2, f3};
    if (updateUniformLocation(location, floats, sizeof(floats))) glUniform3f(location, f1, f2, f3);
}

void CCGLProgram::setUniformLocationWithF1(GLint location, GLfloat f1, GLfloat f2, GLfloat f3, GLfloat f4) {
    const GLfloat floats[] = {f1, f2, f3, f4};
    if (updateUniformLocation(location, floats, sizeof(floats))) glUniform4f(location, f1, f2, f3, f4);
}

void CCGLProgram::setUniformLocationWith2fv(GLint location, const GLfloat* floats, uint64_t count) {
    if (updateUniformLocation(location, floats, count * 2 * sizeof(GLfloat))) {
        glUniform2fv(location, static_cast<GLsizei>(count), floats);
    }
}

void CCGLProgram::setUniformLocationWith3fv(GLint location, const GLfloat* floats, uint64_t count) {
    if (updateUniformLocation(location, floats, count * 3 * sizeof(GLfloat))) {
        glUniform3fv(location, static_cast<GLsizei>(count), floats);
    }
}

void CCGLProgram::setUniformLocationWith4fv(GLint location, const GLfloat* floats, uint64_t count) {
    if (updateUniformLocation(location, floats, count * 4 * sizeof(GLfloat))) {
        glUniform4fv(location, static_cast<GLsizei>(count), floats);
    }
}

void CCGLProgram::setUniformLocationWithMatrix4fv(GLint location, const GLfloat* matrixArray, uint64_t count) {
    if (updateUniformLocation(location, matrixArray, count * 16 * sizeof(GLfloat))) {
        glUniformMatrix4fv(location, static_cast<GLsizei>(count), GL_FALSE, matrixArray);
    }
}

void CCGLProgram::setUniformsForBuiltins() {
    kmMat4 projection;
    kmMat4 modelView;
    kmMat4 modelViewProjection;
    kmGLGetMatrix(KM_GL_PROJECTION, &projection);
    kmGLGetMatrix(KM_GL_MODELVIEW, &modelView);
    kmMat4Multiply(&modelViewProjection, &projection, &modelView);

    setUniformLocationWithMatrix4fv(uniforms_[kCCUniformPMatrix], projection.mat, 1);
    setUniformLocationWithMatrix4fv(uniforms_[kCCUniformMVMatrix], modelView.mat, 1);
    setUniformLocationWithMatrix4fv(uniforms_[kCCUniformMVPMatrix], modelViewProjection.mat, 1);

    if (usesTime_) {
        // Seconds of animation: frames drawn x the frame interval.
        const CCDirector* director = CCDirector::sharedDirector();
        const float time = static_cast<float>(static_cast<double>(director->totalFrames()) *
                                              director->animationInterval());
        setUniformLocationWithF1(uniforms_[kCCUniformTime], time / 10.0f, time, time * 2, time * 4);
        setUniformLocationWithF1(uniforms_[kCCUniformSinTime], std::sin(time / 8.0f), std::sin(time / 4.0f),
                                 std::sin(time / 2.0f), std::sin(time));
        setUniformLocationWithF1(uniforms_[kCCUniformCosTime], std::cos(time / 8.0f), std::cos(time / 4.0f),
                                 std::cos(time / 2.0f), std::cos(time));
    }

    if (uniforms_[kCCUniformRandom01] != -1) {
        // Drawn one after the other, so the components come in draw order.
        const auto r0 = static_cast<float>(random() * kRandomScale);
        const auto r1 = static_cast<float>(random() * kRandomScale);
        const auto r2 = static_cast<float>(random() * kRandomScale);
        const auto r3 = static_cast<float>(random() * kRandomScale);
        setUniformLocationWithF1(uniforms_[kCCUniformRandom01], r0, r1, r2, r3);
    }
}

// MARK: logs and description

std::string CCGLProgram::logForOpenGLObject(GLuint object, GetivFunction infoFunc, InfoLogFunction logFunc) {
    if (!object) return {};
    GLint length = 0;
    infoFunc(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0) return {};
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    logFunc(object, length, &written, log.data());
    log.resize(static_cast<size_t>(std::max<GLsizei>(0, std::min<GLsizei>(written, length))));
    return log;
}

std::string CCGLProgram::vertexShaderLog() const {
    return logForOpenGLObject(vertShader_, glGetShaderiv, glGetShaderInfoLog);
}

std::string CCGLProgram::fragmentShaderLog() const {
    return logForOpenGLObject(fragShader_, glGetShaderiv, glGetShaderInfoLog);
}

std::string CCGLProgram::programLog() const {
    return logForOpenGLObject(program_, glGetProgramiv, glGetProgramInfoLog);
}

std::string CCGLProgram::description() const {
    return stringWithFormat("<%s = %p | Program = %u, VertexShader = %u, FragmentShader = %u>",
                            className(*this).c_str(), static_cast<const void*>(this), program_, vertShader_,
                            fragShader_);
}
