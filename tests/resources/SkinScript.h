// The embedded skin script read into plain tables, so that the image and
// font checks follow the script instead of repeating its numbers.
#pragma once

#include "ResourceFiles.h"

#include <map>
#include <string>
#include <vector>

namespace restest {

struct SkinImage {
    std::string file;
    int frameWidth = 0, frameHeight = 0, frames = 0;
};

struct SkinFont {
    float size = 0.0f;
    std::string colour, face;
};

struct SkinControl {
    int page = 0, x = 0, y = 0, width = 0, height = 0;
    std::string type;
    std::vector<std::string> args;
};

struct SkinScript {
    std::vector<std::vector<std::string>> commands;  // token lists of the lines that have tokens
    std::map<std::string, Rgba> colours;
    std::map<std::string, SkinFont> fonts;
    std::map<std::string, std::string> faces;  // face name -> embedded file
    std::map<std::string, SkinImage> images;
    std::vector<SkinControl> controls;

    static SkinScript load() {
        SkinScript s;
        for (const std::string& line : crlfLines(readResource("QolmSkin.txt"))) {
            std::vector<std::string> t = tokens(line);
            if (t.empty()) continue;
            s.commands.push_back(t);
            if (t[0] == "InstallTTF" && t.size() >= 3) {
                s.faces[t[1]] = t[2];
            } else if (t[0] == "AddResource" && t.size() >= 6 && t[2] == "RGBColour") {
                s.colours[t[1]] = Rgba{uint8_t(std::stoi(t[3])), uint8_t(std::stoi(t[4])), uint8_t(std::stoi(t[5])), 255};
            } else if (t[0] == "AddResource" && t.size() >= 6 && t[2] == "DefFont") {
                s.fonts[t[1]] = SkinFont{std::stof(t[3]), t[4], t[5]};
            } else if (t[0] == "AddResource" && t.size() >= 7 && t[2] == "PngResource") {
                s.images[t[1]] = SkinImage{t[3], std::stoi(t[4]), std::stoi(t[5]), std::stoi(t[6])};
            } else if (t[0] == "AddControl" && t.size() >= 7) {
                SkinControl c;
                c.page = std::stoi(t[1]);
                c.x = std::stoi(t[2]);
                c.y = std::stoi(t[3]);
                c.width = std::stoi(t[4]);
                c.height = std::stoi(t[5]);
                c.type = t[6];
                c.args.assign(t.begin() + 7, t.end());
                s.controls.push_back(c);
            }
        }
        return s;
    }
};

}  // namespace restest
