#include "player/core/Timeline.h"

#include <algorithm>
#include <vector>

#include "player/core/Limits.h"

namespace player {

static constexpr size_t MAX_SCRIPTS_PER_TICK = 4096;
static constexpr size_t MAX_SCRIPT_STEPS_PER_TICK = 200000;

CClip::CClip(CStage& stage, const CTimelineDef& def, CClip* pParent, int nNesting)
    : m_stage(stage), m_def(def), m_pParent(pParent), m_nNesting(nNesting), m_nSerial(stage.nNextSerial++) {
    m_stage.clips[m_nSerial] = this;
}

// What a variable costs against the movie's bound: its name, its string, and a share for the
// entry itself.
static size_t VariableBytes(const std::string& name, const CActionValue& v) {
    return name.size() + v.strValue.size() + 64;
}

CClip::~CClip() {
    for (const auto& [name, value] : m_variables) m_stage.nVariableBytes -= VariableBytes(name, value);
    m_stage.nObjects -= m_display.size();
    m_stage.clips.erase(m_nSerial);
}

void CClip::Enter() {
    m_nFrame = 0;
    RunFrame(0, true);
}

void CClip::Discard(CDisplayObject& obj) {
    if (!obj.pClip) return;
    m_stage.clips.erase(obj.pClip->m_nSerial);
    m_stage.graveyard.push_back(std::move(obj.pClip));
}

void CClip::SetCharacter(CDisplayObject& obj, uint16_t nId) {
    obj.nCharacterId = nId;
    obj.pCharacter = m_stage.pMovie->Find(nId);
    Discard(obj);
    if (obj.pCharacter && obj.pCharacter->eKind == ECharacterKind::Sprite && m_nNesting + 1 < MAX_SPRITE_NESTING) {
        obj.pClip.reset(new CClip(m_stage, *obj.pCharacter->pSprite, this, m_nNesting + 1));
        obj.pClip->Enter();
    }
}

void CClip::Place(const CPlaceCommand& p, uint32_t nFrame) {
    auto it = m_display.find(p.nDepth);
    if (it == m_display.end()) {
        if (p.bMove || !p.bHasCharacter) return;
        if (m_stage.nObjects >= MAX_DISPLAY_OBJECTS) return;
        ++m_stage.nObjects;
        it = m_display.emplace(p.nDepth, CDisplayObject()).first;
        CDisplayObject& obj = it->second;
        obj.nDepth = p.nDepth;
        obj.nPlacedFrame = nFrame;
        obj.nPlacedTick = m_stage.nTick;
        obj.strName = p.strName;
        SetCharacter(obj, p.nCharacterId);
    } else {
        // Placing without the move flag on an occupied depth leaves the depth as it is.
        if (!p.bMove) return;
        CDisplayObject& obj = it->second;
        if (p.bHasCharacter && p.nCharacterId != obj.nCharacterId) {
            obj.nPlacedFrame = nFrame;
            obj.nPlacedTick = m_stage.nTick;
            SetCharacter(obj, p.nCharacterId);
        }
        if (p.bHasName) obj.strName = p.strName;
    }
    CDisplayObject& obj = it->second;
    if (p.bHasMatrix) obj.matrix = p.matrix;
    if (p.bHasCxform) obj.cxform = p.cxform;
    if (p.bHasRatio) obj.nRatio = p.nRatio;
    if (p.bHasClipDepth) obj.nClipDepth = p.nClipDepth;
}

void CClip::Remove(uint16_t nDepth) {
    auto it = m_display.find(nDepth);
    if (it == m_display.end()) return;
    Discard(it->second);
    m_display.erase(it);
    --m_stage.nObjects;
}

void CClip::RunFrame(uint32_t nFrame, bool bScripts) {
    if (nFrame >= m_def.frames.size()) return;
    for (const CFrameCommand& cmd : m_def.frames[nFrame]) {
        switch (cmd.eKind) {
        case CFrameCommand::EKind::Place: Place(cmd.place, nFrame); break;
        case CFrameCommand::EKind::Remove: Remove(cmd.nDepth); break;
        case CFrameCommand::EKind::Actions:
            if (!bScripts) break;
            if (cmd.bOnce && !m_stage.onceDone.insert(cmd.pScript.get()).second) break;
            m_stage.queue.emplace_back(m_nSerial, cmd.pScript.get());
            break;
        }
    }
}

void CClip::Rebuild(uint32_t nTarget) {
    // What the display list holds at nTarget when played from the start: the same commands on
    // a plan without instances. Objects whose placement survives keep their instance (and a
    // sprite its own frame), the others are replaced.
    struct CPlan {
        uint16_t nCharacterId;
        uint32_t nPlacedFrame;
        CPlaceCommand state;
    };
    std::map<uint16_t, CPlan> plan;
    for (uint32_t f = 0; f <= nTarget && f < m_def.frames.size(); ++f) {
        for (const CFrameCommand& cmd : m_def.frames[f]) {
            if (cmd.eKind == CFrameCommand::EKind::Remove) {
                plan.erase(cmd.nDepth);
                continue;
            }
            if (cmd.eKind != CFrameCommand::EKind::Place) continue;
            const CPlaceCommand& p = cmd.place;
            auto it = plan.find(p.nDepth);
            if (it == plan.end()) {
                if (p.bMove || !p.bHasCharacter) continue;
                it = plan.emplace(p.nDepth, CPlan{p.nCharacterId, f, CPlaceCommand()}).first;
                it->second.state.nDepth = p.nDepth;
                it->second.state.strName = p.strName;
            } else {
                if (!p.bMove) continue;
                if (p.bHasCharacter && p.nCharacterId != it->second.nCharacterId) {
                    it->second.nCharacterId = p.nCharacterId;
                    it->second.nPlacedFrame = f;
                }
                if (p.bHasName) it->second.state.strName = p.strName;
            }
            CPlaceCommand& s = it->second.state;
            if (p.bHasMatrix) s.matrix = p.matrix;
            if (p.bHasCxform) s.cxform = p.cxform;
            if (p.bHasRatio) s.nRatio = p.nRatio;
            if (p.bHasClipDepth) s.nClipDepth = p.nClipDepth;
        }
    }
    for (auto it = m_display.begin(); it != m_display.end();) {
        auto pit = plan.find(it->first);
        if (pit == plan.end() || pit->second.nCharacterId != it->second.nCharacterId ||
            pit->second.nPlacedFrame != it->second.nPlacedFrame) {
            Discard(it->second);
            it = m_display.erase(it);
            --m_stage.nObjects;
        } else {
            ++it;
        }
    }
    for (auto& [nDepth, p] : plan) {
        CPlaceCommand full = p.state;
        full.bHasCharacter = true;
        full.nCharacterId = p.nCharacterId;
        full.bHasMatrix = full.bHasCxform = full.bHasRatio = full.bHasClipDepth = full.bHasName = true;
        full.bMove = m_display.count(nDepth) != 0;
        Place(full, p.nPlacedFrame);
    }
}

void CClip::GotoFrame(uint32_t nFrame) {
    if (m_def.frames.empty()) return;
    nFrame = std::min<uint32_t>(nFrame, uint32_t(m_def.frames.size() - 1));
    if (nFrame == m_nFrame) return;
    if (nFrame > m_nFrame) {
        for (uint32_t f = m_nFrame + 1; f <= nFrame; ++f) RunFrame(f, f == nFrame);
    } else {
        Rebuild(nFrame);
        // The rebuild placed the frame's objects; its scripts still run.
        if (nFrame < m_def.frames.size())
            for (const CFrameCommand& cmd : m_def.frames[nFrame])
                if (cmd.eKind == CFrameCommand::EKind::Actions &&
                    (!cmd.bOnce || m_stage.onceDone.insert(cmd.pScript.get()).second))
                    m_stage.queue.emplace_back(m_nSerial, cmd.pScript.get());
    }
    m_nFrame = nFrame;
}

bool CClip::AdvanceSelf() {
    uint32_t n = FrameCount();
    if (!m_bPlaying || n <= 1) return false;
    if (m_nFrame + 1 < n) {
        GotoFrame(m_nFrame + 1);
        return true;
    }
    if (IsRoot() && !m_stage.bLoopRoot) {
        m_bPlaying = false;
        return false;
    }
    GotoFrame(0);
    return true;
}

bool CClip::AdvanceTree() {
    bool bChanged = AdvanceSelf();
    // The clips present before this tick advance; those just placed show their first frame.
    std::vector<CClip*> children;
    for (auto& [nDepth, obj] : m_display) {
        if (obj.pClip && obj.nPlacedTick != m_stage.nTick) children.push_back(obj.pClip.get());
    }
    for (CClip* pChild : children) bChanged |= pChild->AdvanceTree();
    return bChanged;
}

bool CClip::IsStaticTree() const {
    if (m_bPlaying && FrameCount() > 1) {
        if (!IsRoot() || m_stage.bLoopRoot || m_nFrame + 1 < FrameCount()) return false;
    }
    for (const auto& [nDepth, obj] : m_display)
        if (obj.pClip && !obj.pClip->IsStaticTree()) return false;
    return true;
}

void CClip::ActionGotoFrame(int32_t nFrame, bool bPlay) {
    if (nFrame < 0) nFrame = 0;
    GotoFrame(uint32_t(nFrame));
    m_bPlaying = bPlay;
}

bool CClip::ActionGotoLabel(const std::string& label, bool bPlay) {
    auto it = m_def.labels.find(label);
    if (it == m_def.labels.end()) {
        it = std::find_if(m_def.labels.begin(), m_def.labels.end(),
                          [&](const auto& kv) { return SameName(kv.first, label); });
        if (it == m_def.labels.end()) return false;
    }
    ActionGotoFrame(int32_t(it->second), bPlay);
    return true;
}

void CClip::ActionStep(int nDelta) {
    int64_t f = int64_t(m_nFrame) + nDelta;
    if (f >= 0 && f < int64_t(FrameCount())) GotoFrame(uint32_t(f));
    m_bPlaying = false;
}


CClip* CClip::FindChild(const std::string& name) {
    for (auto& [nDepth, obj] : m_display)
        if (obj.pClip && SameName(obj.strName, name)) return obj.pClip.get();
    return nullptr;
}

uint32_t CClip::BytesTotal() const { return m_stage.pMovie ? m_stage.pMovie->header.nDeclaredLength : 0; }

const CActionValue* CClip::Variable(const std::string& name) const {
    auto it = m_variables.find(name);
    return it == m_variables.end() ? nullptr : &it->second;
}

void CClip::SetVariable(const std::string& name, const CActionValue& value) {
    CActionValue stored = value.eType == CActionValue::EType::Target ? CActionValue() : value;
    auto it = m_variables.find(name);
    const size_t nOld = it == m_variables.end() ? 0 : VariableBytes(name, it->second);
    const size_t nNew = VariableBytes(name, stored);
    if (it == m_variables.end() && m_variables.size() >= MAX_VARIABLES_PER_CLIP) return;
    if (m_stage.nVariableBytes - nOld + nNew > MAX_VARIABLE_BYTES) return;
    m_stage.nVariableBytes = m_stage.nVariableBytes - nOld + nNew;
    m_variables[name] = std::move(stored);
}

IActionTarget* CClip::ResolveTarget(const std::string& path) {
    CClip* p = this;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        while (p->m_pParent) p = p->m_pParent;
        i = 1;
    }
    while (i <= path.size() && p) {
        size_t j = path.find_first_of("/.", i);
        if (j == std::string::npos) j = path.size();
        std::string part = path.substr(i, j - i);
        // ".." is one part: two dots in a row leave an empty part between them.
        if (j + 1 < path.size() && path[j] == '.' && path[j + 1] == '.' && part.empty()) {
            part = "..";
            j += 1;
        }
        if (part.empty() || part == "this") {
        } else if (part == ".." || SameName(part, "_parent")) {
            p = p->m_pParent;
        } else if (SameName(part, "_root") || SameName(part, "_level0")) {
            while (p->m_pParent) p = p->m_pParent;
        } else {
            p = p->FindChild(part);
        }
        i = j + 1;
    }
    return p;
}

void RunQueuedScripts(CStage& stage) {
    size_t nBudget = MAX_SCRIPT_STEPS_PER_TICK;
    for (size_t n = 0; n < MAX_SCRIPTS_PER_TICK && nBudget > 0 && !stage.queue.empty(); ++n) {
        auto [nSerial, pScript] = stage.queue.front();
        stage.queue.pop_front();
        auto it = stage.clips.find(nSerial);
        if (it != stage.clips.end()) RunActions(*pScript, *it->second, nBudget);
    }
    stage.queue.clear();
    stage.graveyard.clear();
}

}  // namespace player
