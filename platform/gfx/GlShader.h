#pragma once

namespace kv {

// The one program that stands in for the fixed-function pipeline: per-vertex lighting with
// three lights in eye space (normals through the inverse transpose of world * view, not
// normalised unless asked, as the fixed pipeline does), texture modulated by the diffuse
// colour, specular added after the texture, alpha test, and fog by eye depth.
inline constexpr const char* kFixedVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColour;
layout(location = 3) in vec2 aUv;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform float uFlipY;
uniform bool uHasColour;
uniform bool uLighting;
uniform bool uSpecular;
uniform bool uNormalize;
uniform vec3 uAmbient;
uniform bool uLightOn[3];
uniform bool uLightPoint[3];
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
void main() {
    vec4 pv = vec4(aPos, 1.0) * uWorldView;
    vec4 clip = pv * uProjection;
    clip.y *= uFlipY;
    clip.z = 2.0 * clip.z - clip.w;
    gl_Position = clip;
    vEyeZ = pv.z;
    vUv = aUv;
    vSpecular = vec3(0.0);
    vec4 vertexColour = uHasColour ? aColour.zyxw : vec4(1.0);
    if (!uLighting) {
        vColour = vertexColour;
        return;
    }
    vec4 diffuse = uHasColour ? vertexColour : uMatDiffuse;
    vec3 n = aNormal * uNormalMatrix;
    if (uNormalize)
        n = normalize(n);
    vec3 colour = uMatEmissive + uAmbient * uMatAmbient;
    vec3 spec = vec3(0.0);
    for (int i = 0; i < 3; ++i) {
        if (!uLightOn[i])
            continue;
        vec3 l;
        float att = 1.0;
        if (uLightPoint[i]) {
            vec3 d = uLightPos[i] - pv.xyz;
            float dist = length(d);
            if (dist > uLightAtt[i].w)
                continue;
            l = d / max(dist, 1e-6);
            att = 1.0 / max(uLightAtt[i].x + uLightAtt[i].y * dist + uLightAtt[i].z * dist * dist, 1e-6);
        } else {
            l = -normalize(uLightDir[i]);
        }
        float ndl = max(dot(n, l), 0.0);
        colour += att * (uLightAmbient[i] * uMatAmbient + ndl * uLightDiffuse[i] * diffuse.rgb);
        if (uSpecular && ndl > 0.0) {
            vec3 h = normalize(normalize(-pv.xyz) + l);
            spec += att * uLightSpecular[i] * uMatSpecular * pow(max(dot(n, h), 0.0), uMatPower);
        }
    }
    vColour = vec4(clamp(colour, 0.0, 1.0), diffuse.a);
    vSpecular = clamp(spec, 0.0, 1.0);
}
)";

inline constexpr const char* kFixedFragmentShader = R"(#version 330 core
in vec4 vColour;
in vec3 vSpecular;
in vec2 vUv;
in float vEyeZ;
uniform sampler2D uTexture;
uniform bool uTextured;
uniform bool uAlphaTest;
uniform float uAlphaRef;
uniform int uFogMode;
uniform vec4 uFogColour;
uniform vec3 uFogParams;
out vec4 fragColour;
void main() {
    vec4 c = vColour;
    if (uTextured)
        c *= texture(uTexture, vUv);
    c.rgb += vSpecular;
    if (uAlphaTest && floor(c.a * 255.0 + 0.5) < uAlphaRef)
        discard;
    if (uFogMode != 0) {
        float d = abs(vEyeZ);
        float f;
        if (uFogMode == 1)
            f = (uFogParams.y - d) / max(uFogParams.y - uFogParams.x, 1e-6);
        else if (uFogMode == 2)
            f = exp(-uFogParams.z * d);
        else
            f = exp(-(uFogParams.z * d) * (uFogParams.z * d));
        c.rgb = mix(uFogColour.rgb, c.rgb, clamp(f, 0.0, 1.0));
    }
    fragColour = c;
}
)";

} // namespace kv
