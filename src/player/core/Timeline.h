#pragma once
// The running movie: one CClip per timeline instance (the main timeline and each placed sprite),
// each with its display list by depth, its current frame and whether it plays.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "player/core/Actions.h"
#include "player/core/Movie.h"

namespace player {

class CClip;

struct CDisplayObject {
    uint16_t nDepth = 0;
    uint16_t nCharacterId = 0;
    const CCharacter* pCharacter = nullptr;
    CMatrix matrix;
    CColorTransform cxform;
    uint16_t nRatio = 0;
    uint16_t nClipDepth = 0;
    std::string strName;
    uint32_t nPlacedFrame = 0;   // the frame whose command created it
    uint64_t nPlacedTick = 0;    // a clip placed during a tick waits for the next to advance
    std::unique_ptr<CClip> pClip;
};

// What all clips of one player share: the movie, the bounds on the display tree, and the
// scripts waiting to run at the end of the tick.
struct CStage {
    const CMovie* pMovie = nullptr;
    size_t nObjects = 0;
    uint32_t nNextSerial = 1;
    std::unordered_map<uint32_t, CClip*> clips;  // by serial, for scripts queued on a clip
    std::deque<std::pair<uint32_t, const CActionScript*>> queue;
    std::set<const CActionScript*> onceDone;
    // Clips taken off the display while scripts run are kept until the tick ends, because the
    // script that removed them may be running on one of them.
    std::vector<std::unique_ptr<CClip>> graveyard;
    bool bLoopRoot = true;
    uint64_t nTick = 0;
    size_t nVariableBytes = 0;  // names and strings of every clip's variables
};

class CClip : public IActionTarget {
public:
    CClip(CStage& stage, const CTimelineDef& def, CClip* pParent, int nNesting);
    ~CClip() override;
    CClip(const CClip&) = delete;
    CClip& operator=(const CClip&) = delete;

    // Shows the first frame: its commands, and its scripts queued.
    void Enter();
    // One tick of this clip and the clips inside it; true when any of them changed frame.
    bool AdvanceTree();
    // True when no clip in this tree would change frame on the next tick.
    bool IsStaticTree() const;

    uint32_t Frame() const { return m_nFrame; }
    uint32_t FrameCount() const { return uint32_t(m_def.FrameCount()); }
    bool IsPlaying() const { return m_bPlaying; }
    const std::map<uint16_t, CDisplayObject>& DisplayList() const { return m_display; }
    uint32_t Serial() const { return m_nSerial; }
    bool IsRoot() const { return m_pParent == nullptr; }

    void GotoFrame(uint32_t nFrame);

    // IActionTarget
    void ActionStop() override { m_bPlaying = false; }
    void ActionPlay() override { m_bPlaying = true; }
    void ActionGotoFrame(int32_t nFrame, bool bPlay) override;
    bool ActionGotoLabel(const std::string& label, bool bPlay) override;
    void ActionStep(int nDelta) override;
    int32_t CurrentFrame() const override { return int32_t(m_nFrame); }
    uint32_t TotalFrames() const override { return FrameCount(); }
    uint32_t BytesTotal() const override;
    IActionTarget* ResolveTarget(const std::string& path) override;
    const CActionValue* Variable(const std::string& name) const override;
    void SetVariable(const std::string& name, const CActionValue& value) override;

private:
    bool AdvanceSelf();
    void RunFrame(uint32_t nFrame, bool bScripts);
    void Place(const CPlaceCommand& p, uint32_t nFrame);
    void Remove(uint16_t nDepth);
    void Discard(CDisplayObject& obj);
    void SetCharacter(CDisplayObject& obj, uint16_t nId);
    void Rebuild(uint32_t nFrame);
    CClip* FindChild(const std::string& name);

    CStage& m_stage;
    const CTimelineDef& m_def;
    CClip* m_pParent;
    int m_nNesting;
    uint32_t m_nSerial;
    uint32_t m_nFrame = 0;
    bool m_bPlaying = true;
    std::map<uint16_t, CDisplayObject> m_display;
    std::map<std::string, CActionValue> m_variables;
};

// Runs the scripts queued during a tick, and those they queue in turn, up to a bound; then
// frees the clips they removed.
void RunQueuedScripts(CStage& stage);

}  // namespace player
