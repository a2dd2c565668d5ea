"""Every word the pages show, in the panel's three interface languages.

Language numbers follow the panel: 0 Traditional Chinese, 1 Simplified
Chinese, 2 English. Each entry is (Traditional, Simplified, English).
"""

TRAD, SIMP, ENGLISH = 0, 1, 2
LANGUAGES = (TRAD, SIMP, ENGLISH)

WORDS = {
    # Header line of every page
    "brand_tag": ("音效控制台", "音频控制面板", "Audio Control Panel"),

    # Main page
    "playback": ("播放", "播放", "Playback"),
    "digital_out_group": ("數位輸出", "数字输出", "Digital Output"),
    "master_volume": ("主音量", "主音量", "Master Volume"),
    "digital_volume": ("音量", "音量", "Volume"),
    "balance": ("平衡", "平衡", "Balance"),
    "left": ("左", "左", "L"),
    "right": ("右", "右", "R"),
    "mute": ("靜音", "静音", "Mute"),
    "output": ("輸出", "输出", "Output"),
    "headphones": ("耳機", "耳机", "Headphones"),
    "speakers": ("喇叭", "音箱", "Speakers"),

    # Hifi page
    "dry_sound": ("音效總開關", "音效总开关", "Dry Sound"),
    "tone": ("音調", "音调", "Tone"),
    "treble": ("高音", "高音", "Treble"),
    "bass": ("低音", "低音", "Bass"),
    "region_style": ("地區風格", "地区风格", "Region Style"),
    "style_0": ("純淨監聽", "纯净监听", "Pure Monitor"),
    "style_1": ("美式風格", "美式风格", "USA Style"),
    "style_2": ("英式風格", "英式风格", "England Style"),
    "style_3": ("日式風格", "日式风格", "Japanese Style"),
    "style_4": ("德式風格", "德式风格", "Germany Style"),
    "presets": ("內建音效", "内置音效", "EQ Presets"),
    "preset_default": ("預設", "默认", "Default"),
    "preset_bass": ("低音", "低音", "Bass"),
    "preset_treble": ("高音", "高音", "Treble"),
    "preset_live": ("現場", "现场", "Live"),
    "preset_rock": ("搖滾", "摇滚", "Rock"),
    "preset_softrock": ("輕搖滾", "轻摇滚", "Soft Rock"),
    "preset_dance": ("舞曲", "舞曲", "Dance"),
    "preset_jazz": ("爵士", "爵士", "Jazz"),
    "preset_metal": ("金屬", "金属", "Metal"),
    "preset_rap": ("饒舌", "说唱", "Rap"),
    "preset_classic": ("古典", "古典", "Classic"),
    "preset_vocal": ("人聲", "人声", "Vocal"),
    "equalizer": ("自訂等化器", "自定义均衡器", "Custom Equalizer"),
    "user_preset": ("使用者預設", "用户预设", "User Preset"),
    "new_name": ("新名稱", "新名称", "New Name"),
    "frequency_hz": ("頻率 (Hz)", "频率 (Hz)", "Frequency (Hz)"),
    "room": ("房間", "房间", "Room"),
    "room_0": ("客廳", "客厅", "Living Room"),
    "room_1": ("娛樂室", "娱乐室", "Entertainment Room"),
    "room_2": ("臥室", "卧室", "Bedroom"),
    "environment": ("環境音效", "环境音效", "Environment"),

    # Digital page
    "enable_digital": ("啟用數位輸出", "启用数字输出", "Enable Digital Output"),
    "connectors": ("輸出介面", "输出接口", "Output Connectors"),
    "optical": ("光纖", "光纤", "Optical"),
    "coaxial": ("同軸", "同轴", "Coaxial"),
    "rate": ("輸出模式", "输出模式", "Output Mode"),
    "rate_cd": ("CD", "CD", "CD"),
    "rate_theatre": ("劇院", "剧院", "Theatre"),
    "rate_hifi": ("HIFI", "HIFI", "HIFI"),
    "rate_pro": ("專業", "专业", "Professional"),

    # Hp page
    "crossover_title": ("分頻", "分频", "Crossover"),
    "flex_bass": ("彈性低音", "弹性低音", "Flex Bass"),
    "crossover_freq": ("分頻頻率", "分频频率", "Crossover Frequency"),
    "spk_group": ("喇叭尺寸", "音箱尺寸", "Speaker Size"),
    "small_speakers": ("小型喇叭", "小音箱", "small speakers"),
    "large_speakers": ("落地喇叭", "落地音箱", "large speakers"),
    "hp_group": ("耳機阻抗", "耳机阻抗", "Headphone Impedance"),
    "low_impedance": ("低阻抗", "低阻抗", "low impedance"),
    "high_impedance": ("高阻抗", "高阻抗", "high impedance"),

    # Info page
    "versions": ("版本資訊", "版本信息", "Versions"),
    "about": ("關於", "关于", "About"),
    "os_caption": ("作業系統", "操作系统", "Operating System"),
    "driver_caption": ("驅動程式版本", "驱动程序版本", "Driver Version"),
    "panel_caption": ("控制台版本", "控制面板版本", "Panel Version"),
    "directx_caption": ("DirectX 版本", "DirectX 版本", "DirectX Version"),
}

# The 23 environments of the Hifi page, in list order (index = Environment).
ENVIRONMENTS = (
    ("通用", "通用", "Generic"),
    ("軟墊室", "软垫室", "Padded cell"),
    ("房間", "房间", "Room"),
    ("客廳", "客厅", "Living Room"),
    ("石室", "石室", "Stone Room"),
    ("禮堂", "礼堂", "Auditorium"),
    ("洞穴", "洞穴", "Cave"),
    ("競技場", "竞技场", "Arena"),
    ("機庫", "机库", "Hangar"),
    ("地毯走廊", "地毯走廊", "Carpeted hallway"),
    ("走廊", "走廊", "Hallway"),
    ("石廊", "石廊", "Stone corridor"),
    ("小巷", "小巷", "Alley"),
    ("森林", "森林", "Forest"),
    ("城市", "城市", "City"),
    ("山區", "山区", "Mountains"),
    ("採石場", "采石场", "Quarry"),
    ("平原", "平原", "Plain"),
    ("停車場", "停车场", "Parking lot"),
    ("下水道", "下水道", "Sewer pipe"),
    ("迷幻", "迷幻", "Drugged"),
    ("眩暈", "眩晕", "Dizzy"),
    ("精神錯亂", "精神错乱", "Psychotic"),
)

# First bitmap id of each language's set of environment pictures.
ENVIRONMENT_BASE_ID = {ENGLISH: 175, SIMP: 198, TRAD: 221}


def word(key, lang):
    return WORDS[key][lang]
