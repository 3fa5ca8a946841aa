#include "player/core/Actions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "player/core/Limits.h"
#include "player/core/SwfReader.h"

namespace player {

static constexpr size_t MAX_ACTIONS_PER_SCRIPT = 100000;

static void ParsePush(CSwfReader& r, CAction& a) {
    while (!r.AtEnd() && r.Ok() && a.values.size() < MAX_ACTION_STACK) {
        CActionValue v;
        switch (r.U8()) {
        case 0: v.eType = CActionValue::EType::String; v.strValue = r.String(); break;
        case 1: v.eType = CActionValue::EType::Number; v.fNumber = r.Float32(); break;
        case 2: case 3: break;
        case 4: r.U8(); break;  // register: not modelled
        case 5: v.eType = CActionValue::EType::Number; v.fNumber = r.U8() ? 1 : 0; break;
        case 6: v.eType = CActionValue::EType::Number; v.fNumber = r.Double64(); break;
        case 7: v.eType = CActionValue::EType::Number; v.fNumber = int32_t(r.U32()); break;
        case 8: v.eType = CActionValue::EType::Constant; v.nConstant = r.U8(); break;
        case 9: v.eType = CActionValue::EType::Constant; v.nConstant = r.U16(); break;
        default: r.Fail(); return;
        }
        if (r.Ok()) a.values.push_back(std::move(v));
    }
}

CActionScript ParseActions(CSwfReader& r) {
    CActionScript script;
    const size_t nBase = r.Position();
    while (!r.AtEnd() && r.Ok() && script.size() < MAX_ACTIONS_PER_SCRIPT) {
        CAction a;
        a.nOffset = uint32_t(r.Position() - nBase);
        uint8_t code = r.U8();
        if (code == 0) break;
        CSwfReader data;
        if (code >= 0x80) data = r.Sub(r.U16());
        if (!r.Ok()) break;
        a.nNextOffset = uint32_t(r.Position() - nBase);
        switch (code) {
        case 0x04: a.eOp = EActionOp::NextFrame; break;
        case 0x05: a.eOp = EActionOp::PrevFrame; break;
        case 0x06: a.eOp = EActionOp::Play; break;
        case 0x07: a.eOp = EActionOp::Stop; break;
        case 0x17: a.eOp = EActionOp::Pop; break;
        case 0x20: a.eOp = EActionOp::SetTarget2; break;
        case 0x81: a.eOp = EActionOp::GotoFrame; a.nArg = data.U16(); break;
        case 0x8B: a.eOp = EActionOp::SetTarget; a.strArg = data.String(); break;
        case 0x8C: a.eOp = EActionOp::GotoLabel; a.strArg = data.String(); break;
        case 0x88: {
            a.eOp = EActionOp::ConstantPool;
            uint16_t n = data.U16();
            for (uint16_t i = 0; i < n && data.Ok(); ++i) a.constants.push_back(data.String());
            break;
        }
        case 0x96: a.eOp = EActionOp::Push; ParsePush(data, a); break;
        case 0x99: a.eOp = EActionOp::Jump; a.nArg = data.S16(); break;
        case 0x9D: a.eOp = EActionOp::If; a.nArg = data.S16(); break;
        case 0x9F: {
            a.eOp = EActionOp::GotoFrame2;
            uint8_t flags = data.U8();
            a.bPlay = flags & 1;
            if (flags & 2) a.nSceneBias = data.U16();
            break;
        }
        default: a.eOp = EActionOp::Other; break;
        }
        script.push_back(std::move(a));
    }
    return script;
}

namespace {

// The part of the virtual machine the timeline actions need: a stack of the values the script
// pushes. Actions the player does not model leave the stack unknown, so later pops give
// undefined and the actions that depend on them do nothing.
class CMachine {
public:
    CMachine(IActionTarget& root, size_t& nBudget) : m_pRoot(&root), m_pTarget(&root), m_nBudget(nBudget) {}
    void Run(const CActionScript& script);

private:
    CActionValue Pop();
    std::string Text(const CActionValue& v) const;
    bool Truthy(const CActionValue& v) const;
    void GotoValue(const CActionValue& v, bool bPlay, uint16_t nBias);
    void SetTarget(const std::string& path);

    IActionTarget* m_pRoot;
    IActionTarget* m_pTarget;  // null after a SetTarget to a timeline the player does not know
    std::vector<CActionValue> m_stack;
    std::vector<std::string> m_constants;
    size_t& m_nBudget;
};

CActionValue CMachine::Pop() {
    if (m_stack.empty()) return CActionValue();
    CActionValue v = std::move(m_stack.back());
    m_stack.pop_back();
    return v;
}

std::string CMachine::Text(const CActionValue& v) const {
    if (v.eType == CActionValue::EType::String) return v.strValue;
    if (v.eType == CActionValue::EType::Constant && v.nConstant < m_constants.size()) return m_constants[v.nConstant];
    return std::string();
}

bool CMachine::Truthy(const CActionValue& v) const {
    if (v.eType == CActionValue::EType::Number) return v.fNumber != 0 && !std::isnan(v.fNumber);
    if (v.eType == CActionValue::EType::Undefined) return false;
    return !Text(v).empty();
}

void CMachine::GotoValue(const CActionValue& v, bool bPlay, uint16_t nBias) {
    if (!m_pTarget) return;
    if (v.eType == CActionValue::EType::Number) {
        // Frame numbers on the stack count from 1.
        double f = v.fNumber;
        if (!std::isfinite(f) || f < 1 || f > 1e9) return;
        m_pTarget->ActionGotoFrame(int32_t(f) - 1 + nBias, bPlay);
        return;
    }
    std::string s = Text(v);
    if (s.empty()) return;
    char* end = nullptr;
    long n = std::strtol(s.c_str(), &end, 10);
    if (end && *end == 0 && n >= 1 && n < 1000000000L) {
        m_pTarget->ActionGotoFrame(int32_t(n) - 1 + nBias, bPlay);
        return;
    }
    // "target:label" names a frame of another timeline.
    size_t colon = s.rfind(':');
    IActionTarget* pTarget = m_pTarget;
    if (colon != std::string::npos) {
        pTarget = m_pTarget->ResolveTarget(s.substr(0, colon));
        s = s.substr(colon + 1);
        if (!pTarget) return;
    }
    pTarget->ActionGotoLabel(s, bPlay);
}

void CMachine::SetTarget(const std::string& path) {
    m_pTarget = path.empty() ? m_pRoot : m_pRoot->ResolveTarget(path);
}

void CMachine::Run(const CActionScript& script) {
    size_t i = 0;
    while (i < script.size() && m_nBudget > 0) {
        --m_nBudget;
        const CAction& a = script[i];
        switch (a.eOp) {
        case EActionOp::NextFrame: case EActionOp::PrevFrame: case EActionOp::GotoFrame:
        case EActionOp::GotoLabel: case EActionOp::GotoFrame2:
            m_nBudget -= std::min(m_nBudget, GOTO_STEPS);
            break;
        default:
            break;
        }
        size_t next = i + 1;
        switch (a.eOp) {
        case EActionOp::Stop: if (m_pTarget) m_pTarget->ActionStop(); break;
        case EActionOp::Play: if (m_pTarget) m_pTarget->ActionPlay(); break;
        case EActionOp::NextFrame: if (m_pTarget) m_pTarget->ActionStep(1); break;
        case EActionOp::PrevFrame: if (m_pTarget) m_pTarget->ActionStep(-1); break;
        case EActionOp::GotoFrame: if (m_pTarget) m_pTarget->ActionGotoFrame(a.nArg, false); break;
        case EActionOp::GotoLabel: if (m_pTarget) m_pTarget->ActionGotoLabel(a.strArg, false); break;
        case EActionOp::GotoFrame2: GotoValue(Pop(), a.bPlay, a.nSceneBias); break;
        case EActionOp::SetTarget: SetTarget(a.strArg); break;
        case EActionOp::SetTarget2: SetTarget(Text(Pop())); break;
        case EActionOp::Push:
            for (const CActionValue& v : a.values)
                if (m_stack.size() < MAX_ACTION_STACK) m_stack.push_back(v);
            break;
        case EActionOp::Pop: Pop(); break;
        case EActionOp::ConstantPool: m_constants = a.constants; break;
        case EActionOp::Jump:
        case EActionOp::If: {
            if (a.eOp == EActionOp::If && !Truthy(Pop())) break;
            int64_t target = int64_t(a.nNextOffset) + a.nArg;
            auto it = std::lower_bound(script.begin(), script.end(), target,
                                       [](const CAction& x, int64_t t) { return int64_t(x.nOffset) < t; });
            next = it != script.end() && int64_t(it->nOffset) == target ? size_t(it - script.begin()) : script.size();
            break;
        }
        case EActionOp::Other: m_stack.clear(); break;
        }
        i = next;
    }
}

}  // namespace

void RunActions(const CActionScript& script, IActionTarget& root, size_t& nStepBudget) {
    CMachine m(root, nStepBudget);
    m.Run(script);
}

}  // namespace player
