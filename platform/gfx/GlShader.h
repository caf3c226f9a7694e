#pragma once

namespace kv {

// The one program text that stands in for the fixed-function pipeline: per-vertex lighting
// with three lights in eye space (normals through the inverse transpose of world * view, not
// normalised unless asked, as the fixed pipeline does), texture modulated by the diffuse
// colour, specular added after the texture, alpha test, and fog by eye depth.
//
// The device compiles it once per combination of switches it meets (kFixedSwitches, set by
// #define lines put after the version line), so a draw runs only the code its states need: a
// software rasteriser pays for every branch of every pixel, and a shader without `discard`
// lets it reject hidden pixels before shading them.
//   TEXTURED, HAS_COLOUR, LIGHTING, SPECULAR, NORMALIZE, ALPHA_TEST: 0 or 1
//   FOG_MODE: 0 none, 1 linear, 2 exp, 3 exp2
//   LIGHT0, LIGHT1, LIGHT2: 0 off, 1 directional, 2 point
inline constexpr const char* kFixedShaderVersion = "#version 330 core\n";

inline constexpr const char* kFixedVertexShader = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColour;
layout(location = 3) in vec2 aUv;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform float uFlipY;
uniform vec3 uAmbient;
uniform vec3 uLightDiffuse[3];
uniform vec3 uLightSpecular[3];
uniform vec3 uLightAmbient[3];
uniform vec3 uLightPos[3];
uniform vec3 uLightDir[3];
uniform vec4 uLightAtt[3];
uniform vec4 uMatDiffuse;
uniform vec3 uMatAmbient;
uniform vec3 uMatSpecular;
uniform vec3 uMatEmissive;
uniform float uMatPower;
out vec4 vColour;
out vec3 vSpecular;
out vec2 vUv;
out float vEyeZ;

#if LIGHTING
void addLight(int i, bool point, vec3 p, vec3 n, vec4 diffuse, inout vec3 colour,
              inout vec3 spec) {
    vec3 l;
    float att = 1.0;
    if (point) {
        vec3 d = uLightPos[i] - p;
        float dist = length(d);
        if (dist > uLightAtt[i].w)
            return;
        l = d / max(dist, 1e-6);
        att = 1.0 / max(uLightAtt[i].x + uLightAtt[i].y * dist + uLightAtt[i].z * dist * dist, 1e-6);
    } else {
        l = -normalize(uLightDir[i]);
    }
    float ndl = max(dot(n, l), 0.0);
    colour += att * (uLightAmbient[i] * uMatAmbient + ndl * uLightDiffuse[i] * diffuse.rgb);
#if SPECULAR
    if (ndl > 0.0) {
        vec3 h = normalize(normalize(-p) + l);
        spec += att * uLightSpecular[i] * uMatSpecular * pow(max(dot(n, h), 0.0), uMatPower);
    }
#endif
}
#endif

void main() {
    vec4 pv = vec4(aPos, 1.0) * uWorldView;
    vec4 clip = pv * uProjection;
    clip.y *= uFlipY;
    clip.z = 2.0 * clip.z - clip.w;
    gl_Position = clip;
    vEyeZ = pv.z;
    vUv = aUv;
    vSpecular = vec3(0.0);
#if HAS_COLOUR
    vec4 vertexColour = aColour.zyxw;
#else
    vec4 vertexColour = vec4(1.0);
#endif
#if !LIGHTING
    vColour = vertexColour;
#else
#if HAS_COLOUR
    vec4 diffuse = vertexColour;
#else
    vec4 diffuse = uMatDiffuse;
#endif
    vec3 n = aNormal * uNormalMatrix;
#if NORMALIZE
    n = normalize(n);
#endif
    vec3 colour = uMatEmissive + uAmbient * uMatAmbient;
    vec3 spec = vec3(0.0);
#if LIGHT0
    addLight(0, LIGHT0 == 2, pv.xyz, n, diffuse, colour, spec);
#endif
#if LIGHT1
    addLight(1, LIGHT1 == 2, pv.xyz, n, diffuse, colour, spec);
#endif
#if LIGHT2
    addLight(2, LIGHT2 == 2, pv.xyz, n, diffuse, colour, spec);
#endif
    vColour = vec4(clamp(colour, 0.0, 1.0), diffuse.a);
    vSpecular = clamp(spec, 0.0, 1.0);
#endif
}
)";

inline constexpr const char* kFixedFragmentShader = R"(
in vec4 vColour;
in vec3 vSpecular;
in vec2 vUv;
in float vEyeZ;
uniform sampler2D uTexture;
uniform float uAlphaRef;
uniform vec4 uFogColour;
uniform vec3 uFogParams;
out vec4 fragColour;
void main() {
    vec4 c = vColour;
#if TEXTURED
    c *= texture(uTexture, vUv);
#endif
#if LIGHTING && SPECULAR
    c.rgb += vSpecular;
#endif
#if ALPHA_TEST
    if (floor(c.a * 255.0 + 0.5) < uAlphaRef)
        discard;
#endif
#if FOG_MODE
    float d = abs(vEyeZ);
#if FOG_MODE == 1
    float f = (uFogParams.y - d) / max(uFogParams.y - uFogParams.x, 1e-6);
#elif FOG_MODE == 2
    float f = exp(-uFogParams.z * d);
#else
    float f = exp(-(uFogParams.z * d) * (uFogParams.z * d));
#endif
    c.rgb = mix(uFogColour.rgb, c.rgb, clamp(f, 0.0, 1.0));
#endif
    fragColour = c;
}
)";

} // namespace kv
