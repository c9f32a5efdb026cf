"""The invented games of the sample catalogues: names, links, codes and remarks."""

SYLLABLES = ['星', '海', '龙', '剑', '幻', '境', '战', '纪', '魔', '城', '风', '云', '传', '说',
             '天', '空', '之', '王', '机', '甲', '光', '影', '迷', '宫', '冒', '险', '者', '岛']
WORDS = ['Star', 'Quest', 'Legend', 'Dragon', 'Shadow', 'Empire', 'Racer', 'Tactics', 'Odyssey',
         'Realm', 'Frontier', 'Chronicle', 'Knight', 'Galaxy', 'Harbor', 'Circuit', 'Ember']
REMARKS = ['中文版', '含全部DLC', '需解压密码：velmora', '英文原版', '豪华版；附赠原声',
           '修复版 v1.2', '单机版', '需要 8 GB 内存', '', '']
HOSTS = ['dl.velmora-example.test', 'files.example.org', 'pan.example.net']


def name(rng):
    if rng.random() < 0.55:
        return ''.join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 6)))
    title = ' '.join(rng.choice(WORDS) for _ in range(rng.randint(1, 3)))
    return title + (f' {rng.randint(2, 5)}' if rng.random() < 0.3 else '')


def link(rng, i):
    if rng.random() < 0.2:
        return f'magnet:?xt=urn:btih:{rng.getrandbits(160):040x}&dn=game{i}'
    return f'https://{rng.choice(HOSTS)}/s/{rng.getrandbits(48):012x}?pwd={rng.randint(1000, 9999)}'


def code(rng):
    return '-'.join(f'{rng.getrandbits(20):05X}' for _ in range(3)) if rng.random() < 0.6 else ''



def header_rows():
    """The 15 rows above the games: a title, notices and the column headings."""
    rows = [['Velmora 游戏资源列表'], ['本列表仅供测试，所有名称与链接均为虚构']]
    rows += [[f'说明第{i}行'] for i in range(3, 15)]
    return rows + [['游戏名', '链接', '激活码', '其他']]


def game_rows(count, rng):
    """Games as cell texts; some hold commas and line breaks, as hand-kept sheets do."""
    rows = []
    for i in range(count):
        remark = rng.choice(REMARKS)
        roll = rng.random()
        if roll < 0.08:
            remark = (remark or '说明') + ', 另附补丁'
        elif roll < 0.14:
            remark = (remark or '第一行') + '\n大小 ' + f'{rng.randint(1, 90)} GB'
        title = name(rng)
        if rng.random() < 0.03:
            title += ', 合集'
        rows.append([title, link(rng, i), code(rng), remark])
    return rows
